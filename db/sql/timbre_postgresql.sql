-- The doorbell of idle boards. A board that asked its change question every few seconds would
-- wake a server process each time, which is nearly all an idle board costs the server. Instead
-- one board of the database at a time, the one whose session holds advisory lock 251254, calls
-- this each second with the snapshot of its previous call, and it rings the channel
-- "teqvaro_<table>" of every table whose notes that snapshot did not see. Every board listens
-- on the channels of its view's tables and asks its question only when rung (and now and
-- then, in case). Only that one session notifies, in a transaction of its own: writers never
-- notify, so no commit waits on the server's notification queue.
--
-- The server wakes every listening session of the database for any notification, whatever
-- its channel: a table no board reads (a log written ten times a second) is not rung. A board
-- holds the shared advisory lock (251255, hashtext(table)) of each table it listens for; the
-- ringer's own try for the same lock, exclusive, fails while any other board holds it, and
-- its own channels it knows. A board that begins to listen asks its question right after, so
-- what it was not rung for before is not lost.
--
-- antes NULL asks to become the ringer: it returns NULL when another session holds the lock;
-- otherwise it rings "teqvaro_todo", which every board listens on, for whatever the previous
-- ringer had not rung yet. The result is the snapshot to pass next time.
--
-- Each statement of a VOLATILE function reads with a snapshot of its own, taken after the one
-- returned: a table may be rung twice, never missed.
CREATE OR REPLACE FUNCTION teqvaro_timbre(antes pg_snapshot) RETURNS TEXT
LANGUAGE plpgsql VOLATILE
AS $$
DECLARE
    ahora CONSTANT pg_snapshot := pg_current_snapshot();
    tabla TEXT;
BEGIN
    IF antes IS NULL THEN
        IF NOT pg_try_advisory_lock(251254) THEN
            RETURN NULL;
        END IF;
        PERFORM pg_notify('teqvaro_todo', '');
    ELSIF COALESCE((SELECT Ch_Borrado FROM Cambio_Horizonte) > pg_snapshot_xmin(antes), false) THEN
        PERFORM pg_notify('teqvaro_todo', ''); -- notes it would have read are gone
    ELSE
        FOR tabla IN SELECT DISTINCT Ca_Tabla FROM Cambio
                     WHERE Ca_Transaccion >= pg_snapshot_xmin(antes)
                       AND NOT pg_visible_in_snapshot(Ca_Transaccion, antes)
        LOOP
            IF 'teqvaro_' || tabla IN (SELECT pg_listening_channels())
               OR NOT pg_try_advisory_xact_lock(251255, hashtext(tabla)) THEN
                PERFORM pg_notify('teqvaro_' || tabla, '');
            END IF;
        END LOOP;
    END IF;
    RETURN CAST(ahora AS TEXT);
END
$$;
