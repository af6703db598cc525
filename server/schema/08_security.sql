-- Tenant isolation: every table with a Mandant_ID shows and accepts only the rows of the tenant the
-- service set for the request; without a tenant nothing at all (fail closed). FORCE makes the owner,
-- and so every SECURITY DEFINER trigger, obey the same rule.

DO $rls$
DECLARE
    tbl text;
BEGIN
    FOR tbl IN
        SELECT c.relname FROM pg_class c
          JOIN pg_namespace n ON n.oid = c.relnamespace
          JOIN pg_attribute a ON a.attrelid = c.oid AND a.attname = 'mandant_id' AND NOT a.attisdropped
         WHERE n.nspname = 'public' AND c.relkind = 'r'
    LOOP
        EXECUTE format('ALTER TABLE %I ENABLE ROW LEVEL SECURITY', tbl);
        EXECUTE format('ALTER TABLE %I FORCE ROW LEVEL SECURITY', tbl);
        EXECUTE format('CREATE POLICY tenant_isolation ON %I '
                       'USING (mandant_id = nullif(current_setting(''lumora.mandant_id'', true), '''')::integer) '
                       'WITH CHECK (mandant_id = nullif(current_setting(''lumora.mandant_id'', true), '''')::integer)',
                       tbl);
    END LOOP;
END
$rls$;

-- The service reads everything the devices download and writes only what the devices upload.
GRANT SELECT ON Mandant TO lumora_service;

GRANT SELECT ON SyncVersion TO lumora_service;
GRANT INSERT (Mandant_ID, ID_Planung, dtClients) ON SyncVersion TO lumora_service;
GRANT UPDATE (ID_Planung, dtClients) ON SyncVersion TO lumora_service;

GRANT SELECT ON A_ADRESSEN, A_PERSONAL, Lumora_User, Lumora_Gruppen, Lumora_GruppenKA, Lumora_GruppenKS,
    Lumora_GruppenTeam, Lumora_Filter, M_Material, M_MaterialPreise, P_PROJEKT, P_PROJEKTPHASEN,
    P_PROJEKTPHASEN_DETAIL, R_KAUFTRAG, R_KWERKAUFTRAG, Z_KOSTENART, Z_KOSTENSTELLE, Planung_TeamErlaubnis
    TO lumora_service;

GRANT SELECT, INSERT ON Z_ERFASSUNG, Z_PRAESENZZEIT, Lumora_Team, Lumora_TeamZPZ, Planung, Lumora_Fotos
    TO lumora_service;
GRANT SELECT, INSERT, DELETE ON Planung_Team, Planung_TeamPersonal TO lumora_service;
GRANT INSERT ON Dump_Z_Erfassung, Dump_Z_PRAESENZZEIT TO lumora_service;

-- Updates may change a row's values but never its tenant, its server id or its stamp.
DO $updates$
DECLARE
    item record;
    cols text;
BEGIN
    FOR item IN SELECT * FROM (VALUES
        ('z_erfassung', ARRAY['mandant_id', 'zer_id', 'muttimestamp']),
        ('z_praesenzzeit', ARRAY['mandant_id', 'zpz_id', 'muttimestamp']),
        ('lumora_team', ARRAY['mandant_id', 'muttimestamp']),
        ('lumora_teamzpz', ARRAY['mandant_id', 'muttimestamp']),
        ('planung', ARRAY['mandant_id', 'mpl_guid', 'muttimestamp'])
    ) AS t(tbl, fixed)
    LOOP
        SELECT string_agg(quote_ident(column_name), ', ' ORDER BY ordinal_position) INTO cols
          FROM information_schema.columns
         WHERE table_schema = 'public' AND table_name = item.tbl AND column_name <> ALL (item.fixed);
        EXECUTE format('GRANT UPDATE (%s) ON %I TO lumora_service', cols, item.tbl);
    END LOOP;
END
$updates$;

GRANT SELECT ON Lumora_union_AlleMutTimeStamp, Planung_AlleGuids TO lumora_service;

-- Functions are callable only where meant: the dialect shims by the service, the rest by nobody
-- but the triggers that use them.
DO $functions$
DECLARE
    f regprocedure;
BEGIN
    FOR f IN SELECT p.oid FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace
              WHERE n.nspname = 'public' AND p.proowner = current_user::regrole
    LOOP
        EXECUTE format('REVOKE EXECUTE ON FUNCTION %s FROM PUBLIC', f);
    END LOOP;
END
$functions$;

GRANT EXECUTE ON FUNCTION getdate(), scope_identity(), lumora_concat(text, text),
    lumora_ci_eq(citext, text), lumora_ci_ne(citext, text), lumora_ci_eq(text, citext), lumora_ci_ne(text, citext),
    lumora_guid_eq(uuid, text), lumora_guid_ne(uuid, text), lumora_guid_eq(text, uuid), lumora_guid_ne(text, uuid)
    TO lumora_service;
