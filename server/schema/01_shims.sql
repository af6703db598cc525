-- The client speaks the dialect of the office server; what can live in the database lives here.

CREATE EXTENSION IF NOT EXISTS citext SCHEMA public;

-- CAST(x AS nvarchar) without a length.
CREATE DOMAIN nvarchar AS varchar;

CREATE FUNCTION getdate() RETURNS timestamp
    LANGUAGE sql STABLE PARALLEL SAFE
    AS $$ SELECT date_trunc('milliseconds', statement_timestamp())::timestamp $$;

-- The id the server gave to the last row inserted in this transaction; NULL when none was given.
-- Kept per transaction so that a pooled session never hands one request's id to another.
CREATE FUNCTION scope_identity() RETURNS bigint
    LANGUAGE sql STABLE PARALLEL SAFE
    AS $$ SELECT nullif(current_setting('lumora.scope_identity', true), '')::bigint $$;

-- Text joined with "+" compares case-insensitively, as every other text does here.
CREATE FUNCTION lumora_concat(a text, b text) RETURNS citext
    LANGUAGE sql IMMUTABLE PARALLEL SAFE
    AS $$ SELECT (a || b)::citext $$;
CREATE OPERATOR + (LEFTARG = text, RIGHTARG = text, FUNCTION = lumora_concat);

-- A parameter bound as text must not turn a comparison with a citext column case-sensitive.
CREATE FUNCTION lumora_ci_eq(a citext, b text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a = b::citext $$;
CREATE FUNCTION lumora_ci_ne(a citext, b text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a <> b::citext $$;
CREATE FUNCTION lumora_ci_eq(a text, b citext) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a::citext = b $$;
CREATE FUNCTION lumora_ci_ne(a text, b citext) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a::citext <> b $$;
CREATE OPERATOR = (LEFTARG = citext, RIGHTARG = text, FUNCTION = lumora_ci_eq, NEGATOR = <>);
CREATE OPERATOR <> (LEFTARG = citext, RIGHTARG = text, FUNCTION = lumora_ci_ne, NEGATOR = =);
CREATE OPERATOR = (LEFTARG = text, RIGHTARG = citext, FUNCTION = lumora_ci_eq, NEGATOR = <>);
CREATE OPERATOR <> (LEFTARG = text, RIGHTARG = citext, FUNCTION = lumora_ci_ne, NEGATOR = =);

-- GUIDs are uuid columns; a GUID bound as braced text compares with them directly.
CREATE FUNCTION lumora_guid_eq(a uuid, b text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a = b::uuid $$;
CREATE FUNCTION lumora_guid_ne(a uuid, b text) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a <> b::uuid $$;
CREATE FUNCTION lumora_guid_eq(a text, b uuid) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a::uuid = b $$;
CREATE FUNCTION lumora_guid_ne(a text, b uuid) RETURNS boolean
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a::uuid <> b $$;
CREATE OPERATOR = (LEFTARG = uuid, RIGHTARG = text, FUNCTION = lumora_guid_eq, NEGATOR = <>);
CREATE OPERATOR <> (LEFTARG = uuid, RIGHTARG = text, FUNCTION = lumora_guid_ne, NEGATOR = =);
CREATE OPERATOR = (LEFTARG = text, RIGHTARG = uuid, FUNCTION = lumora_guid_eq, NEGATOR = <>);
CREATE OPERATOR <> (LEFTARG = text, RIGHTARG = uuid, FUNCTION = lumora_guid_ne, NEGATOR = =);
