-- The server's roles of one database, when each person signs in to it as themselves. They
-- carry the database's name, as roles belong to the whole server: several databases of the
-- suite on one server keep their people apart.
--
--   <base>:dueno            owns the tables; nobody signs in as it
--   <base>:usuarios         every person; what any user may do is granted to it
--   <base>:administradores  what administrators may do besides; NOINHERIT, so its members do
--                           not act as the owner unless they ask to (SET ROLE, as a schema
--                           upgrade does), and are held to the policies like everyone else
--   <base>:gestor           creates and drops the people's login roles, only through the
--                           functions of gestion_postgresql.sql
--   <base>.<clave>          one login role per operator, its code in lower case
--
-- Run once, by a role that may create roles, when a database is prepared or converted.
DO $roles$
DECLARE
    base TEXT := current_database();
    dueno TEXT := base || ':dueno';
    usuarios TEXT := base || ':usuarios';
    administradores TEXT := base || ':administradores';
    gestor TEXT := base || ':gestor';
BEGIN
    EXECUTE format('CREATE ROLE %I NOLOGIN', dueno);
    EXECUTE format('CREATE ROLE %I NOLOGIN', usuarios);
    EXECUTE format('CREATE ROLE %I NOLOGIN NOINHERIT IN ROLE %I', administradores, dueno);
    EXECUTE format('CREATE ROLE %I NOLOGIN CREATEROLE', gestor);
    EXECUTE format('REVOKE ALL ON DATABASE %I FROM PUBLIC', base);
    EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I, %I', base, usuarios, dueno);
    REVOKE CREATE ON SCHEMA public FROM PUBLIC;
    EXECUTE format('GRANT USAGE, CREATE ON SCHEMA public TO %I', dueno);
    EXECUTE format('GRANT USAGE ON SCHEMA public TO %I, %I', usuarios, gestor);
END
$roles$;
