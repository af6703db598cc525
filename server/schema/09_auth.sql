-- The service learns the request's tenant here. The function runs as lumora_auth, the one role that
-- reads tenants without a tenant set; it returns NULL for an unknown, wrong or inactive login.
CREATE FUNCTION lumora_auth_tenant(pin integer, password text) RETURNS integer
    LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, public, pg_temp
    AS $$
    SELECT mandant_id FROM public.mandant
     WHERE mandant_pin = pin AND mandant_kennwort = password::public.citext AND mandant_inaktiv = 0
$$;
REVOKE EXECUTE ON FUNCTION lumora_auth_tenant(integer, text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION lumora_auth_tenant(integer, text) TO lumora_service;
GRANT SELECT ON Mandant TO lumora_auth;
