-- Adding and removing people, and their passwords, when each signs in to the database as
-- themselves. These functions run as <base>:gestor, the one role that may create roles, and
-- decide themselves who may call them: an administrator, or a person for their own password.
-- A password arrives as the server keeps it (SCRAM-SHA-256), never in clear. Created by a role
-- that may create roles, which then hands them to <base>:gestor.

CREATE OR REPLACE FUNCTION teqvaro_exige_administrador() RETURNS VOID
LANGUAGE plpgsql SET search_path = public, pg_temp
AS $$
BEGIN
    IF NOT pg_has_role(session_user, current_database() || ':administradores', 'MEMBER') THEN
        RAISE EXCEPTION 'Sólo un administrador de la base % puede hacerlo', current_database()
            USING ERRCODE = '42501';
    END IF;
END
$$;

CREATE OR REPLACE FUNCTION teqvaro_exige_verificador(verificador TEXT) RETURNS VOID
LANGUAGE plpgsql IMMUTABLE SET search_path = public, pg_temp
AS $$
BEGIN
    IF verificador IS NULL OR verificador NOT LIKE 'SCRAM-SHA-256$%' THEN
        RAISE EXCEPTION 'La contraseña debe llegar como la guarda el servidor (SCRAM-SHA-256), nunca en claro'
            USING ERRCODE = '22023';
    END IF;
END
$$;

-- The login role of an operator: the database's name, a dot and the code in lower case. A
-- role is always made from a code, never read from a table, so no function here ever acts on
-- a role of another database or program of the same server.
CREATE OR REPLACE FUNCTION teqvaro_rol_de_operador(codigo TEXT) RETURNS TEXT
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp
AS $$
DECLARE
    rol TEXT := current_database() || '.' || lower(codigo);
BEGIN
    IF codigo IS NULL OR codigo !~ '^[[:alnum:]_-]+$' THEN
        RAISE EXCEPTION 'La clave del operador «%» no es válida: sólo letras, cifras, «_» y «-»', codigo
            USING ERRCODE = '22023';
    END IF;
    IF octet_length(rol) > 63 THEN
        RAISE EXCEPTION 'La clave del operador % es demasiado larga para esta base: su usuario % pasa de 63 bytes',
            codigo, rol USING ERRCODE = '22023';
    END IF;
    RETURN rol;
END
$$;

-- The login role of an operator who has one.
CREATE OR REPLACE FUNCTION teqvaro_rol_existente(codigo TEXT) RETURNS TEXT
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp
AS $$
DECLARE
    rol TEXT := teqvaro_rol_de_operador(codigo);
BEGIN
    IF NOT EXISTS (SELECT 1 FROM Operador_Rol WHERE Orl_Rol = rol) THEN
        RAISE EXCEPTION 'No existe el operador % con usuario del servidor', codigo USING ERRCODE = '42704';
    END IF;
    RETURN rol;
END
$$;

-- A new person: their login role, their operator and its salesperson, in one transaction.
-- An operator already in Operador without a login role (a converted database's) gets one.
CREATE OR REPLACE FUNCTION teqvaro_alta_operador(codigo TEXT, nombre TEXT, su_vendedor TEXT, es_administrador BOOLEAN,
                                                 verificador TEXT) RETURNS TEXT
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    rol TEXT := teqvaro_rol_de_operador(codigo);
    existente TEXT;
BEGIN
    PERFORM teqvaro_exige_administrador();
    PERFORM teqvaro_exige_verificador(verificador);
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = rol) THEN
        RAISE EXCEPTION 'Ya existe el usuario % del servidor', rol USING ERRCODE = '42710';
    END IF;
    IF COALESCE(su_vendedor, '') <> '' AND NOT EXISTS (SELECT 1 FROM Vendedor WHERE Vn_Cve_Vendedor = su_vendedor) THEN
        RAISE EXCEPTION 'No existe el vendedor %', su_vendedor USING ERRCODE = '23503';
    END IF;
    SELECT Ope_Cve_Operador INTO existente FROM Operador WHERE lower(Ope_Cve_Operador) = lower(codigo);
    IF existente IS NULL THEN
        existente := codigo;
        INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre, Ope_Cve_Vendedor)
        VALUES (codigo, COALESCE(NULLIF(nombre, ''), codigo), NULLIF(su_vendedor, ''));
    ELSIF COALESCE(su_vendedor, '') <> '' THEN
        UPDATE Operador SET Ope_Cve_Vendedor = su_vendedor WHERE Ope_Cve_Operador = existente;
    END IF;
    EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', rol, verificador,
                   current_database() || ':usuarios');
    IF es_administrador THEN
        EXECUTE format('GRANT %I TO %I', current_database() || ':administradores', rol);
    END IF;
    INSERT INTO Operador_Rol (Orl_Rol, Orl_Cve_Operador) VALUES (rol, existente);
    RETURN rol;
END
$$;

-- A person leaves: their login role, their operator and its restrictions, in one transaction.
CREATE OR REPLACE FUNCTION teqvaro_baja_operador(codigo TEXT) RETURNS VOID
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    rol TEXT;
    operador TEXT;
BEGIN
    PERFORM teqvaro_exige_administrador();
    rol := teqvaro_rol_existente(codigo);
    IF rol = session_user THEN
        RAISE EXCEPTION 'Un administrador no se da de baja a sí mismo' USING ERRCODE = '42501';
    END IF;
    DELETE FROM Operador_Rol WHERE Orl_Rol = rol RETURNING Orl_Cve_Operador INTO operador;
    DELETE FROM Opcion_Restringida WHERE Or_Cve_Operador = operador;
    DELETE FROM Operador WHERE Ope_Cve_Operador = operador;
    EXECUTE format('DROP ROLE %I', rol);
END
$$;

-- A person changes their own password; an administrator, anyone's.
CREATE OR REPLACE FUNCTION teqvaro_pon_contrasena_operador(codigo TEXT, verificador TEXT) RETURNS VOID
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
    rol TEXT := teqvaro_rol_existente(codigo);
BEGIN
    PERFORM teqvaro_exige_verificador(verificador);
    IF rol <> session_user THEN
        PERFORM teqvaro_exige_administrador();
    END IF;
    EXECUTE format('ALTER ROLE %I PASSWORD %L', rol, verificador);
END
$$;

DO $gestion$
DECLARE
    gestor TEXT := current_database() || ':gestor';
    usuarios TEXT := current_database() || ':usuarios';
    funcion TEXT;
BEGIN
    FOREACH funcion IN ARRAY ARRAY['teqvaro_exige_administrador()', 'teqvaro_exige_verificador(TEXT)',
                                   'teqvaro_rol_de_operador(TEXT)', 'teqvaro_rol_existente(TEXT)',
                                   'teqvaro_alta_operador(TEXT, TEXT, TEXT, BOOLEAN, TEXT)',
                                   'teqvaro_baja_operador(TEXT)', 'teqvaro_pon_contrasena_operador(TEXT, TEXT)']
    LOOP
        EXECUTE format('ALTER FUNCTION %s OWNER TO %I', funcion, gestor);
        EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', funcion);
    END LOOP;
    -- Each function says itself who may use it, in words a person reads.
    EXECUTE format('GRANT EXECUTE ON FUNCTION teqvaro_alta_operador(TEXT, TEXT, TEXT, BOOLEAN, TEXT), '
                   'teqvaro_baja_operador(TEXT), teqvaro_pon_contrasena_operador(TEXT, TEXT) TO %I', usuarios);
END
$gestion$;
