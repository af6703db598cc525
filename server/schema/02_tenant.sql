-- Tenants and the per-tenant change stamp.

CREATE TABLE Mandant (
    Mandant_ID integer NOT NULL,
    Mandant_PIN integer NOT NULL,
    Mandant_Kennwort citext NOT NULL DEFAULT '',
    Mandant_inaktiv smallint NOT NULL DEFAULT 0,
    Mandant_Firma citext NOT NULL DEFAULT '',
    Mandant_Status integer NOT NULL DEFAULT 0,
    Mandant_PlanungAktiv integer NOT NULL DEFAULT 0,
    Mandant_ServerVersion integer NOT NULL DEFAULT 0,
    Mandant_CryptoCheck citext NOT NULL DEFAULT '',
    Mandant_MaxAlterZeiten integer NOT NULL DEFAULT 60,
    Mandant_BarcodeScanAktiv integer NOT NULL DEFAULT 0,
    PRIMARY KEY (Mandant_ID),
    UNIQUE (Mandant_PIN)
);

-- dtServer is the newest change stamp handed out for the tenant; only lumora_stamp writes it.
CREATE TABLE SyncVersion (
    Mandant_ID integer NOT NULL,
    dtServer timestamp(3) NOT NULL DEFAULT date_trunc('milliseconds', clock_timestamp()::timestamp),
    dtClients timestamp(3),
    ID_Planung integer NOT NULL DEFAULT 0,
    PRIMARY KEY (Mandant_ID)
);

-- Hands out the tenant's next change stamp: never below the clock, always after the previous one.
-- The tenant's SyncVersion row stays locked until commit, so stamps become visible in the order
-- they were given and a reader that has seen a stamp has seen every smaller one.
CREATE FUNCTION lumora_stamp(p_mandant integer) RETURNS timestamp
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public, pg_temp
    AS $$
DECLARE
    jetzt timestamp := date_trunc('milliseconds', clock_timestamp()::timestamp);
    stamp timestamp;
BEGIN
    PERFORM pg_advisory_xact_lock(1819112812, p_mandant);
    UPDATE syncversion SET dtserver = greatest(jetzt, dtserver + interval '1 millisecond')
        WHERE mandant_id = p_mandant
        RETURNING dtserver INTO stamp;
    IF NOT FOUND THEN
        INSERT INTO syncversion (mandant_id, dtserver) VALUES (p_mandant, jetzt) RETURNING dtserver INTO stamp;
    END IF;
    RETURN stamp;
END
$$;

-- Taken before a statement touches any row, so that two writers of one tenant never hold row locks
-- in opposite order while waiting for the stamp.
CREATE FUNCTION lumora_lock_tenant() RETURNS trigger
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public, pg_temp
    AS $$
DECLARE
    tenant integer := nullif(current_setting('lumora.mandant_id', true), '')::integer;
BEGIN
    IF tenant IS NOT NULL THEN
        PERFORM pg_advisory_xact_lock(1819112812, tenant);
    END IF;
    RETURN NULL;
END
$$;

-- Settings of the tenant are data the client downloads.
CREATE FUNCTION lumora_mandant_changed() RETURNS trigger
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public, pg_temp
    AS $$
BEGIN
    PERFORM lumora_stamp(NEW.mandant_id);
    RETURN NULL;
END
$$;
CREATE TRIGGER mandant_changed AFTER UPDATE ON Mandant FOR EACH ROW EXECUTE FUNCTION lumora_mandant_changed();
