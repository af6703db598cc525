-- What every write of a synchronised table goes through, in one trigger function per table:
--   * a row of another tenant than the request's, or a write without a tenant, is refused first;
--   * a non-positive id becomes the next server id (and the id SCOPE_IDENTITY() reports);
--   * Owner becomes 0: the row is in step with the server as soon as it is stored;
--   * a row a device deleted (geloescht <> 0) is flagged deleted for every other device;
--   * a team link without mobile id takes its record's server id, so links of one team stay apart;
--   * MUTTimeStamp takes the tenant's next change stamp, which also moves SyncVersion.dtServer.
-- Deleting a master or record row flags it (FlagGeloescht = 1) instead, so the devices learn of it;
-- teams, members and permissions are deleted for real and still move the stamp.

DO $generate$
DECLARE
    item record;
    has_owner boolean;
    has_geloescht boolean;
    link_id text;
    fn text;
    body text;
    pk_where text;
BEGIN
    FOR item IN SELECT * FROM (VALUES
        ('a_adressen', 'adr_id', true),
        ('a_personal', 'lpe_id', true),
        ('lumora_user', 'usr_userid', true),
        ('lumora_gruppen', 'ber_id', true),
        ('lumora_gruppenka', 'gka_id', true),
        ('lumora_gruppenks', 'gks_id', true),
        ('lumora_gruppenteam', 'gte_id', true),
        ('lumora_filter', 'pfi_id', true),
        ('m_material', 'mat_id', true),
        ('m_materialpreise', NULL, true),
        ('p_projekt', 'pro_id', true),
        ('p_projektphasen', 'pph_id', true),
        ('p_projektphasen_detail', 'ppd_id', true),
        ('r_kauftrag', 'rka_id', true),
        ('r_kwerkauftrag', 'rka_id', true),
        ('z_kostenart', NULL, true),
        ('z_kostenstelle', NULL, true),
        ('z_erfassung', 'zer_id', true),
        ('z_praesenzzeit', 'zpz_id', true),
        ('lumora_team', NULL, true),
        ('lumora_teamzpz', NULL, true),
        ('lumora_fotos', 'pic_id', true),
        ('planung', NULL, true),
        ('planung_team', NULL, false),
        ('planung_teampersonal', NULL, false),
        ('planung_teamerlaubnis', NULL, false)
    ) AS t(tbl, id_column, soft_delete)
    LOOP
        SELECT bool_or(column_name = 'owner'), bool_or(column_name = 'geloescht'),
               max(column_name) FILTER (WHERE column_name IN ('ptt_zer_id', 'ptt_zpz_id'))
          INTO has_owner, has_geloescht, link_id
          FROM information_schema.columns
         WHERE table_schema = 'public' AND table_name = item.tbl;

        fn := 'lumora_write_' || item.tbl;
        body := $b$
DECLARE
    tenant integer := nullif(current_setting('lumora.mandant_id', true), '')::integer;
BEGIN
    IF tenant IS NULL THEN
        RAISE EXCEPTION 'no tenant set for this write (lumora.mandant_id)' USING ERRCODE = '42501';
    END IF;
    IF NEW.mandant_id IS DISTINCT FROM tenant THEN
        RAISE EXCEPTION 'row belongs to another tenant' USING ERRCODE = '42501';
    END IF;
$b$;
        IF item.id_column IS NOT NULL THEN
            EXECUTE format('CREATE SEQUENCE %I', item.tbl || '_' || item.id_column || '_seq');
            body := body || format($b$
    IF TG_OP = 'INSERT' AND coalesce(NEW.%1$I, 0) <= 0 THEN
        NEW.%1$I := nextval(%2$L);
        PERFORM set_config('lumora.scope_identity', NEW.%1$I::text, true);
    END IF;
$b$, item.id_column, item.tbl || '_' || item.id_column || '_seq');
        END IF;
        IF has_owner THEN
            body := body || $b$
    NEW.owner := 0;
$b$;
        END IF;
        IF has_geloescht THEN
            body := body || $b$
    IF NEW.geloescht <> 0 THEN
        NEW.flaggeloescht := 1;
    END IF;
$b$;
        END IF;
        IF link_id IS NOT NULL THEN
            body := body || format($b$
    IF NEW.ptt_mobileid = 0 AND NEW.%1$I > 0 THEN
        NEW.ptt_mobileid := NEW.%1$I;
    END IF;
$b$, link_id);
        END IF;
        body := body || $b$
    NEW.muttimestamp := lumora_stamp(NEW.mandant_id);
    RETURN NEW;
END
$b$;
        EXECUTE format('CREATE FUNCTION %I() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER '
                       'SET search_path = pg_catalog, public, pg_temp AS %L', fn, body);
        EXECUTE format('CREATE TRIGGER lumora_write BEFORE INSERT OR UPDATE ON %I '
                       'FOR EACH ROW EXECUTE FUNCTION %I()', item.tbl, fn);
        EXECUTE format('CREATE TRIGGER lumora_lock BEFORE INSERT OR UPDATE OR DELETE ON %I '
                       'FOR EACH STATEMENT EXECUTE FUNCTION lumora_lock_tenant()', item.tbl);

        fn := 'lumora_delete_' || item.tbl;
        IF item.soft_delete THEN
            SELECT string_agg(format('%1$I = OLD.%1$I', a.attname), ' AND ' ORDER BY k.ord)
              INTO pk_where
              FROM pg_index i
              CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord)
              JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum
             WHERE i.indrelid = item.tbl::regclass AND i.indisprimary;
            body := format($b$
BEGIN
    UPDATE %I SET flaggeloescht = 1 WHERE %s;
    RETURN NULL;
END
$b$, item.tbl, pk_where);
            EXECUTE format('CREATE FUNCTION %I() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER '
                           'SET search_path = pg_catalog, public, pg_temp AS %L', fn, body);
            EXECUTE format('CREATE TRIGGER lumora_delete BEFORE DELETE ON %I '
                           'FOR EACH ROW EXECUTE FUNCTION %I()', item.tbl, fn);
        ELSE
            body := $b$
BEGIN
    PERFORM lumora_stamp(OLD.mandant_id);
    RETURN NULL;
END
$b$;
            EXECUTE format('CREATE FUNCTION %I() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER '
                           'SET search_path = pg_catalog, public, pg_temp AS %L', fn, body);
            EXECUTE format('CREATE TRIGGER lumora_delete AFTER DELETE ON %I '
                           'FOR EACH ROW EXECUTE FUNCTION %I()', item.tbl, fn);
        END IF;

        EXECUTE format('CREATE INDEX %I ON %I (mandant_id, muttimestamp)', item.tbl || '_stamp', item.tbl);
    END LOOP;
END
$generate$;
