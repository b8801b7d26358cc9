-- A salesperson's password is checked where its hash is kept: in the server, by these
-- functions, which run as the owner of the tables. Nobody else reads Vendedor_Contrasena;
-- a desk sends the typed password and learns only whether it matched.
--
-- The hash is crypt() with Blowfish (pgcrypto) over the SHA-256 of the password in
-- hexadecimal, so a password of any length counts whole (Blowfish reads 72 bytes at most).
--
-- One text for the whole step: the host runs it as one statement.

CREATE EXTENSION IF NOT EXISTS pgcrypto;

-- Who each login role of the server is, when every person signs in to the database as
-- themselves (see derechos_postgresql.sql); empty while the suite shares one account. An
-- operator without a salesperson of their own acts as the salesperson whose password they
-- last gave.
CREATE TABLE IF NOT EXISTS Operador_Rol (
    Orl_Rol TEXT PRIMARY KEY,
    Orl_Cve_Operador TEXT NOT NULL UNIQUE,
    Orl_Cve_Vendedor_Acceso TEXT
);

-- The outcome of each try, kept until the desk that made it reads it. A try is counted
-- (and its failure written to the audit log) in its own statement, which commits before
-- the outcome can be read: rolling a try back also takes its outcome away, so nobody
-- learns a password's fate without its failure being counted.
CREATE TABLE IF NOT EXISTS Intento_Vendedor (
    Iv_Intento UUID PRIMARY KEY,
    Iv_Rol TEXT NOT NULL,
    Iv_Resultado TEXT NOT NULL,
    Iv_Transaccion XID8 NOT NULL,
    Iv_Momento TIMESTAMPTZ NOT NULL DEFAULT clock_timestamp()
);

CREATE OR REPLACE FUNCTION teqvaro_huella_vendedor(clara TEXT, sal TEXT) RETURNS TEXT
LANGUAGE sql IMMUTABLE STRICT SET search_path = public, pg_temp
AS $$ SELECT crypt(encode(digest(clara, 'sha256'), 'hex'), sal) $$;

-- Tries a salesperson's password; returns the number of the try, whose outcome
-- teqvaro_resultado_vendedor gives once this statement has committed. From the fifth
-- failure in a row of a code, each try first waits one second, then twice as long each
-- time, up to thirty; tries of one code wait for each other.
CREATE OR REPLACE FUNCTION teqvaro_intenta_vendedor(codigo TEXT, clara TEXT) RETURNS UUID
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    guardada Vendedor_Contrasena%ROWTYPE;
    resultado TEXT := 'NO';
    intento UUID := gen_random_uuid();
BEGIN
    DELETE FROM Intento_Vendedor WHERE Iv_Momento < clock_timestamp() - INTERVAL '10 minutes';
    SELECT * INTO guardada FROM Vendedor_Contrasena WHERE Vc_Cve_Vendedor = codigo FOR UPDATE;
    IF NOT FOUND THEN
        PERFORM teqvaro_huella_vendedor(clara, gen_salt('bf', 10)); -- the same time as a wrong password
    ELSIF guardada.Vc_Huella IS NULL THEN
        resultado := 'NUEVA';
    ELSE
        IF guardada.Vc_Fallos >= 5 THEN
            PERFORM pg_sleep(LEAST(30, 2 ^ LEAST(guardada.Vc_Fallos - 5, 5)));
        END IF;
        IF teqvaro_huella_vendedor(clara, guardada.Vc_Huella) = guardada.Vc_Huella THEN
            resultado := 'SI';
            UPDATE Vendedor_Contrasena SET Vc_Fallos = 0 WHERE Vc_Cve_Vendedor = codigo;
            UPDATE Operador_Rol SET Orl_Cve_Vendedor_Acceso = codigo
            WHERE Orl_Rol = session_user
              AND EXISTS (SELECT 1 FROM Vendedor WHERE Vn_Cve_Vendedor = codigo AND Es_Cve_Estado <> 'BA');
        ELSE
            UPDATE Vendedor_Contrasena SET Vc_Fallos = Vc_Fallos + 1 WHERE Vc_Cve_Vendedor = codigo;
            INSERT INTO Bitacora (Bi_Entidad, Bi_Clave, Bi_Accion, Bi_Operador, Bi_Fecha)
            VALUES ('VENDEDOR', codigo, 'Contraseña incorrecta (' || (guardada.Vc_Fallos + 1) || ' seguidas)',
                    COALESCE((SELECT Orl_Cve_Operador FROM Operador_Rol WHERE Orl_Rol = session_user),
                             session_user),
                    to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS'));
        END IF;
    END IF;
    INSERT INTO Intento_Vendedor (Iv_Intento, Iv_Rol, Iv_Resultado, Iv_Transaccion)
    VALUES (intento, session_user, resultado, pg_current_xact_id());
    RETURN intento;
END
$$;

-- 'SI', 'NO', or 'NUEVA' when the salesperson must be given a new password; only for the
-- user who tried, and only once the try has committed.
CREATE OR REPLACE FUNCTION teqvaro_resultado_vendedor(intento UUID) RETURNS TEXT
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    leido Intento_Vendedor%ROWTYPE;
BEGIN
    DELETE FROM Intento_Vendedor WHERE Iv_Intento = intento AND Iv_Rol = session_user RETURNING * INTO leido;
    IF NOT FOUND OR pg_xact_status(leido.Iv_Transaccion) IS DISTINCT FROM 'committed' THEN
        RAISE EXCEPTION 'El intento no existe o no se ha confirmado' USING ERRCODE = '55000';
    END IF;
    RETURN leido.Iv_Resultado;
END
$$;

CREATE OR REPLACE FUNCTION teqvaro_pon_contrasena_vendedor(codigo TEXT, clara TEXT) RETURNS VOID
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
BEGIN
    INSERT INTO Vendedor_Contrasena (Vc_Cve_Vendedor, Vc_Huella, Vc_Fallos)
    VALUES (codigo, teqvaro_huella_vendedor(clara, gen_salt('bf', 10)), 0)
    ON CONFLICT (Vc_Cve_Vendedor) DO UPDATE SET Vc_Huella = EXCLUDED.Vc_Huella, Vc_Fallos = 0;
END
$$;

REVOKE ALL ON FUNCTION teqvaro_intenta_vendedor(TEXT, TEXT), teqvaro_resultado_vendedor(UUID),
    teqvaro_pon_contrasena_vendedor(TEXT, TEXT), teqvaro_huella_vendedor(TEXT, TEXT) FROM PUBLIC;
