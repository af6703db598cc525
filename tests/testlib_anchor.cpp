// Keeps lumora_testlib non-empty while no shared test source exists yet.
