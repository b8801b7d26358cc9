-- The change question of every board, as one call. PL/pgSQL keeps the plan of the statements
-- inside for the session, so a board that asks every few seconds costs the server no planning.
-- STABLE: both statements see the caller's one snapshot, the one whose notes are looked for.
-- It runs as the board's person, who reads the notes (they carry no data, only keys).
CREATE OR REPLACE FUNCTION teqvaro_cambios(antes pg_snapshot, tablas TEXT[], maximo INTEGER)
RETURNS TABLE (tabla TEXT, folio TEXT, tarde BOOLEAN)
LANGUAGE plpgsql STABLE
AS $$
BEGIN
    -- The snapshot the rows will be as of, and whether notes the question needs were pruned.
    RETURN QUERY SELECT '', CAST(pg_current_snapshot() AS TEXT),
                        COALESCE((SELECT Ch_Borrado FROM Cambio_Horizonte) > pg_snapshot_xmin(antes), false);
    -- The notes of the transactions committed since (visible now, not visible then).
    RETURN QUERY SELECT DISTINCT Ca_Tabla, Ca_Folio, false FROM Cambio
                 WHERE Ca_Transaccion >= pg_snapshot_xmin(antes) AND Ca_Tabla = ANY (tablas)
                   AND NOT pg_visible_in_snapshot(Ca_Transaccion, antes)
                 LIMIT maximo;
END
$$;
