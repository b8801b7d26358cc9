-- Which transactions changed which tables, so that a board asks only about the tables its
-- view reads, and, for Oportunidad, which folios, so that it reads only those again.
--
-- Each statement that writes to a table adds a row here, through a trigger that runs once per
-- statement, in the writer's own transaction: the row becomes visible exactly when the
-- change does. A board remembers the snapshot its rows were read under and asks for the rows
-- whose transaction that snapshot did not see and the current one does. Transaction numbers
-- are never compared for order (a transaction that began first may commit last): only
-- visibility in a snapshot counts. Writers only add rows; nobody updates a shared one.
--
-- One text for the whole step: the host runs it as one statement.

CREATE TABLE IF NOT EXISTS Cambio (
    Ca_Transaccion XID8 NOT NULL DEFAULT pg_current_xact_id(),
    Ca_Tabla TEXT NOT NULL,
    Ca_Folio TEXT
);
CREATE INDEX IF NOT EXISTS Cambio_Transaccion ON Cambio (Ca_Transaccion);

-- Rows of transactions older than Ch_Borrado are gone: a board whose snapshot is older reads
-- its view in full. Ch_Siguiente, noted at least ten minutes earlier, is the next bound.
CREATE TABLE IF NOT EXISTS Cambio_Horizonte (
    Ch_Borrado XID8 NOT NULL,
    Ch_Siguiente XID8 NOT NULL,
    Ch_Hora TIMESTAMPTZ NOT NULL
);
INSERT INTO Cambio_Horizonte
SELECT '0', pg_snapshot_xmin(pg_current_snapshot()), now()
WHERE NOT EXISTS (SELECT 1 FROM Cambio_Horizonte);

-- Now and then a writer takes away what no board needs any more. Only one at a time, and a
-- writer that finds another one at it goes on without waiting.
CREATE OR REPLACE FUNCTION teqvaro_poda_cambios() RETURNS VOID
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    horizonte Cambio_Horizonte;
BEGIN
    IF random() >= 0.01 OR NOT pg_try_advisory_xact_lock(251253) THEN
        RETURN;
    END IF;
    SELECT * INTO horizonte FROM Cambio_Horizonte;
    IF horizonte.Ch_Hora > now() - INTERVAL '10 minutes' THEN
        RETURN;
    END IF;
    DELETE FROM Cambio WHERE Ca_Transaccion < horizonte.Ch_Siguiente;
    UPDATE Cambio_Horizonte
    SET Ch_Borrado = horizonte.Ch_Siguiente, Ch_Siguiente = pg_snapshot_xmin(pg_current_snapshot()), Ch_Hora = now();
END
$$;

REVOKE ALL ON FUNCTION teqvaro_poda_cambios() FROM PUBLIC;

CREATE OR REPLACE FUNCTION teqvaro_anota_tabla() RETURNS TRIGGER
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
BEGIN
    INSERT INTO Cambio (Ca_Tabla) VALUES (TG_TABLE_NAME);
    PERFORM teqvaro_poda_cambios();
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION teqvaro_anota_oportunidades() RETURNS TRIGGER
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
BEGIN
    IF TG_OP IN ('INSERT', 'UPDATE') THEN
        INSERT INTO Cambio (Ca_Tabla, Ca_Folio) SELECT DISTINCT TG_TABLE_NAME, Op_Folio FROM nuevas;
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        INSERT INTO Cambio (Ca_Tabla, Ca_Folio) SELECT DISTINCT TG_TABLE_NAME, Op_Folio FROM viejas;
    END IF;
    PERFORM teqvaro_poda_cambios();
    RETURN NULL;
END
$$;

-- Every table of the schema notes its writes; a table made later by another program has no
-- trigger, and a board whose view reads it asks about the whole database instead.
DO $$
DECLARE
    tabla TEXT;
BEGIN
    FOR tabla IN
        SELECT tablename FROM pg_tables
        WHERE schemaname = current_schema() AND tablename NOT IN ('cambio', 'cambio_horizonte')
    LOOP
        IF tabla = 'oportunidad' THEN
            EXECUTE 'CREATE OR REPLACE TRIGGER teqvaro_cambio_alta AFTER INSERT ON Oportunidad '
                    'REFERENCING NEW TABLE AS nuevas FOR EACH STATEMENT EXECUTE FUNCTION teqvaro_anota_oportunidades()';
            EXECUTE 'CREATE OR REPLACE TRIGGER teqvaro_cambio_modificacion AFTER UPDATE ON Oportunidad '
                    'REFERENCING NEW TABLE AS nuevas OLD TABLE AS viejas '
                    'FOR EACH STATEMENT EXECUTE FUNCTION teqvaro_anota_oportunidades()';
            EXECUTE 'CREATE OR REPLACE TRIGGER teqvaro_cambio_baja AFTER DELETE ON Oportunidad '
                    'REFERENCING OLD TABLE AS viejas FOR EACH STATEMENT EXECUTE FUNCTION teqvaro_anota_oportunidades()';
            EXECUTE 'CREATE OR REPLACE TRIGGER teqvaro_cambio AFTER TRUNCATE ON Oportunidad '
                    'FOR EACH STATEMENT EXECUTE FUNCTION teqvaro_anota_tabla()';
        ELSE
            EXECUTE format('CREATE OR REPLACE TRIGGER teqvaro_cambio AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE '
                           'ON %I FOR EACH STATEMENT EXECUTE FUNCTION teqvaro_anota_tabla()', tabla);
        END IF;
    END LOOP;
END
$$;
