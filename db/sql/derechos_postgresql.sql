-- What each person may read and write, kept by the server: the same rules the board and the
-- host's screens follow, for any program that signs in. Run as the tables' owner when a
-- database is prepared or converted and after every schema upgrade; running it again
-- changes nothing.
SET LOCAL client_min_messages = warning;

DO $derechos$
DECLARE
    base TEXT := current_database();
    usuarios TEXT := base || ':usuarios';
    administradores TEXT := base || ':administradores';
    gestor TEXT := base || ':gestor';
    -- Who the person is (operator, salesperson, level) is read once per statement, and the
    -- opportunity's salesperson is an indexed column: the policies cost a reading next to
    -- nothing.
    yo TEXT := '(SELECT operador FROM Usuario_Actual)';
    ve_todo TEXT := '(SELECT administrador OR nivel = 3 FROM Usuario_Actual) IS TRUE';
    -- Level 1 sees their own opportunities, level 2 those of every level-2 salesperson,
    -- level 3 and administrators all: the board's own rule.
    ve_oportunidad TEXT := ve_todo
        || ' OR Op_Cve_Vendedor = (SELECT vendedor FROM Usuario_Actual WHERE nivel = 1)'
        || ' OR ((SELECT nivel FROM Usuario_Actual) = 2'
        || '     AND Op_Cve_Vendedor IN (SELECT Vn_Cve_Vendedor FROM Vendedor WHERE Vn_Nivel = 2))';
    -- An option of the board taken from the operator (Opcion_Restringida).
    restringida TEXT := '(SELECT EXISTS (SELECT 1 FROM Opcion_Restringida WHERE Or_Cve_Operador = ' || yo
        || ' AND Or_Modulo = ''KLD251'' AND Or_Opcion = %L))';
    nota RECORD;
BEGIN
    CREATE OR REPLACE VIEW Usuario_Actual AS
    SELECT Orl_Cve_Operador AS operador, Vn_Cve_Vendedor AS vendedor, Vn_Nivel AS nivel,
           pg_has_role(session_user, current_database() || ':administradores', 'MEMBER') AS administrador
    FROM Operador_Rol
    JOIN Operador ON Ope_Cve_Operador = Orl_Cve_Operador
    LEFT JOIN Vendedor ON Vn_Cve_Vendedor = COALESCE(NULLIF(Ope_Cve_Vendedor, ''), Orl_Cve_Vendedor_Acceso)
    WHERE Orl_Rol = session_user;

    -- Everyone reads the configuration and the catalogues; no hash, password or login role.
    EXECUTE format('REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC, %I, %I, %I',
                   usuarios, administradores, gestor);
    EXECUTE format('GRANT SELECT ON Variable, Consulta, Vendedor, Operador, Opcion_Restringida, Estado_Oportunidad, '
                   'Organizacion, Contacto, Causa_Oportunidad_Perdida, Oportunidad, Cierre_Oportunidad, Bitacora, '
                   'Seguimiento, Evento, Version_Esquema, Usuario_Actual, Cambio, Cambio_Horizonte TO %I', usuarios);
    -- Only the columns the board and the host's screens write.
    EXECUTE format('GRANT INSERT (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Estado_Oportunidad, '
                   'Op_Monto, Op_Fecha_Alta, Op_Fecha_Cierre_Estimada, Es_Cve_Estado, Oper_Alta), '
                   'UPDATE (Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Estado_Oportunidad, Op_Monto, '
                   'Op_Fecha_Cierre_Estimada, Es_Cve_Estado, Oper_Baja, Fecha_Baja, Oper_Ult_Modif, Fecha_Ult_Modif) '
                   'ON Oportunidad TO %I', usuarios);
    -- Closings, notes and the audit log only grow.
    EXECUTE format('GRANT INSERT ON Cierre_Oportunidad, Bitacora, Seguimiento, Evento TO %I', usuarios);
    -- Administrators keep the configuration; the schema's version moves only with an upgrade,
    -- run as the owner.
    EXECUTE format('GRANT INSERT, UPDATE, DELETE ON Variable, Consulta, Vendedor, Opcion_Restringida, '
                   'Estado_Oportunidad, Organizacion, Contacto, Causa_Oportunidad_Perdida TO %I', administradores);
    EXECUTE format('GRANT UPDATE (Ope_Nombre, Ope_Cve_Vendedor) ON Operador TO %I', administradores);
    EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON Operador, Operador_Rol, Opcion_Restringida TO %I', gestor);
    EXECUTE format('GRANT SELECT ON Vendedor TO %I', gestor);
    EXECUTE format('REVOKE ALL ON FUNCTION teqvaro_intenta_vendedor(TEXT, TEXT), teqvaro_resultado_vendedor(UUID), '
                   'teqvaro_pon_contrasena_vendedor(TEXT, TEXT) FROM PUBLIC, %I, %I', usuarios, administradores);
    EXECUTE format('GRANT EXECUTE ON FUNCTION teqvaro_intenta_vendedor(TEXT, TEXT), teqvaro_resultado_vendedor(UUID) '
                   'TO %I', usuarios);
    EXECUTE format('GRANT EXECUTE ON FUNCTION teqvaro_pon_contrasena_vendedor(TEXT, TEXT) TO %I', administradores);

    ALTER TABLE Oportunidad ENABLE ROW LEVEL SECURITY;
    DROP POLICY IF EXISTS ve ON Oportunidad;
    DROP POLICY IF EXISTS alta ON Oportunidad;
    DROP POLICY IF EXISTS cambio ON Oportunidad;
    EXECUTE format('CREATE POLICY ve ON Oportunidad FOR SELECT USING (%s)', ve_oportunidad);
    EXECUTE format('CREATE POLICY alta ON Oportunidad FOR INSERT WITH CHECK ((%s) AND Oper_Alta = %s)',
                   ve_oportunidad, yo);
    EXECUTE format('CREATE POLICY cambio ON Oportunidad FOR UPDATE USING (%s) '
                   'WITH CHECK ((%s) AND (Es_Cve_Estado <> ''CA'' OR NOT %s))',
                   ve_oportunidad, ve_oportunidad, format(restringida, 'TOOLB2'));

    ALTER TABLE Cierre_Oportunidad ENABLE ROW LEVEL SECURITY;
    DROP POLICY IF EXISTS ve ON Cierre_Oportunidad;
    DROP POLICY IF EXISTS alta ON Cierre_Oportunidad;
    EXECUTE format('CREATE POLICY ve ON Cierre_Oportunidad FOR SELECT USING (%s '
                   'OR EXISTS (SELECT 1 FROM Oportunidad WHERE Op_Folio = Ci_Folio))', ve_todo);
    EXECUTE format('CREATE POLICY alta ON Cierre_Oportunidad FOR INSERT WITH CHECK (Ci_Operador = %s '
                   'AND EXISTS (SELECT 1 FROM Oportunidad WHERE Op_Folio = Ci_Folio) AND (Ci_Resultado <> 1 OR NOT %s))',
                   yo, format(restringida, 'KLD251'));

    -- Notes and audit entries: one's own, and those about an opportunity one sees.
    FOR nota IN SELECT * FROM (VALUES ('Bitacora', 'Bi'), ('Seguimiento', 'Sg'), ('Evento', 'Ev')) AS t(tabla, prefijo)
    LOOP
        EXECUTE format('ALTER TABLE %s ENABLE ROW LEVEL SECURITY', nota.tabla);
        EXECUTE format('DROP POLICY IF EXISTS ve ON %s', nota.tabla);
        EXECUTE format('DROP POLICY IF EXISTS alta ON %s', nota.tabla);
        EXECUTE format('CREATE POLICY ve ON %1$s FOR SELECT USING (%3$s OR %2$s_Operador = %4$s '
                       'OR (%2$s_Entidad = ''OPORTUNIDAD'' AND EXISTS (SELECT 1 FROM Oportunidad WHERE Op_Folio = %2$s_Clave)))',
                       nota.tabla, nota.prefijo, ve_todo, yo);
        EXECUTE format('CREATE POLICY alta ON %1$s FOR INSERT WITH CHECK (%2$s_Operador = %3$s)',
                       nota.tabla, nota.prefijo, yo);
    END LOOP;
END
$derechos$;
