-- The suite's tables as the opportunity board uses them. One text for SQLite and
-- PostgreSQL: identifiers are unquoted (PostgreSQL folds them to lower case), types are
-- those both engines know.
--
-- This is the schema as databases in the field had it before it carried a version
-- (version 1). It is never edited again: later changes are steps in db/src/version.cpp,
-- which every start of the host applies to an older database. A new database is prepared
-- with `teqvaro --prepara-base`, which runs this text and then every step.

-- Configuration variables of the suite, by name.
CREATE TABLE Variable (
    Va_Nombre TEXT PRIMARY KEY,
    Va_Valor TEXT
);

-- Stored queries, by key; their text may hold the placeholder {PARAMETROS}.
CREATE TABLE Consulta (
    Cs_Cve_Consulta TEXT PRIMARY KEY,
    Cs_Descripcion TEXT,
    Cs_Sql TEXT
);

CREATE TABLE Vendedor (
    Vn_Cve_Vendedor TEXT PRIMARY KEY,
    Vn_Descripcion TEXT NOT NULL,
    Vn_Nivel INTEGER,
    Vn_Password TEXT,
    Es_Cve_Estado TEXT NOT NULL DEFAULT 'AC'
);

-- Operators sign in to the suite; some of them are salespeople.
CREATE TABLE Operador (
    Ope_Cve_Operador TEXT PRIMARY KEY,
    Ope_Nombre TEXT NOT NULL,
    Ope_Cve_Vendedor TEXT
);

-- Options an operator may not use, by module.
CREATE TABLE Opcion_Restringida (
    Or_Cve_Operador TEXT NOT NULL,
    Or_Modulo TEXT NOT NULL,
    Or_Opcion TEXT NOT NULL,
    PRIMARY KEY (Or_Cve_Operador, Or_Modulo, Or_Opcion)
);

-- Business states of an opportunity and how its rows look.
CREATE TABLE Estado_Oportunidad (
    Eo_Cve_Estado_Oportunidad TEXT NOT NULL,
    Eo_Descripcion TEXT,
    Eo_Hexadecimal TEXT,
    Eo_Negrilla TEXT
);

CREATE TABLE Organizacion (
    Og_Cve_Organizacion TEXT PRIMARY KEY,
    Og_Nombre TEXT NOT NULL,
    Og_Ciudad TEXT,
    Og_Telefono TEXT
);

CREATE TABLE Contacto (
    Cn_Cve_Contacto TEXT PRIMARY KEY,
    Cn_Nombre TEXT NOT NULL,
    Cn_Organizacion TEXT NOT NULL DEFAULT '',
    Cn_Telefono TEXT,
    Cn_Correo TEXT
);

CREATE TABLE Causa_Oportunidad_Perdida (
    Cop_Cve_Causa_Oportunidad_Perdida INTEGER PRIMARY KEY,
    Cop_Descripcion TEXT NOT NULL,
    Es_Cve_Estado TEXT NOT NULL DEFAULT 'AC'
);

-- Es_Cve_Estado is the record status ('CA' cancelled); Op_Estado_Oportunidad the
-- business state. Dates are kept as the text the service library writes.
CREATE TABLE Oportunidad (
    Op_Folio TEXT PRIMARY KEY,
    Op_Descripcion TEXT NOT NULL,
    Op_Cve_Vendedor TEXT NOT NULL,
    Op_Contacto TEXT,
    Op_Estado_Oportunidad TEXT,
    Op_Monto NUMERIC(14, 2),
    Op_Fecha_Alta TEXT,
    Op_Fecha_Cierre_Estimada TEXT,
    Es_Cve_Estado TEXT NOT NULL DEFAULT 'AC',
    Oper_Alta TEXT,
    Oper_Baja TEXT,
    Fecha_Baja TEXT,
    Oper_Ult_Modif TEXT,
    Fecha_Ult_Modif TEXT
);
CREATE INDEX Oportunidad_Vendedor ON Oportunidad (Op_Cve_Vendedor);

-- An opportunity is closed once: won (1) or lost (2, with its cause).
CREATE TABLE Cierre_Oportunidad (
    Ci_Folio TEXT PRIMARY KEY,
    Ci_Resultado INTEGER NOT NULL,
    Ci_Cve_Causa INTEGER,
    Ci_Operador TEXT,
    Ci_Fecha TEXT
);

-- The audit log.
CREATE TABLE Bitacora (
    Bi_Entidad TEXT NOT NULL,
    Bi_Clave TEXT NOT NULL,
    Bi_Accion TEXT NOT NULL,
    Bi_Operador TEXT,
    Bi_Fecha TEXT
);
CREATE INDEX Bitacora_Clave ON Bitacora (Bi_Entidad, Bi_Clave);

CREATE TABLE Seguimiento (
    Sg_Entidad TEXT NOT NULL,
    Sg_Clave TEXT NOT NULL,
    Sg_Nota TEXT NOT NULL,
    Sg_Operador TEXT,
    Sg_Fecha TEXT
);

CREATE TABLE Evento (
    Ev_Entidad TEXT NOT NULL,
    Ev_Clave TEXT NOT NULL,
    Ev_Descripcion TEXT NOT NULL,
    Ev_Operador TEXT,
    Ev_Fecha TEXT
);
