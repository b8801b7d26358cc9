#include "iniciosesion.h"

#include "dialogoingreso.h"
#include "ingreso.h"

#include "runtime/error.h"

#include <QTextStream>

namespace {

const QString operadorDeLaDemostracion = QStringLiteral("GERENTE");

QString codigoPropuesto(const PeticionDeIngreso &peticion)
{
    if (peticion.codigo.isEmpty() && peticion.demo)
        return operadorDeLaDemostracion;
    return peticion.codigo;
}

QString sinPantalla(const QString &codigo, Ingreso &ingreso)
{
    QTextStream entrada(stdin);
    const std::optional<QString> operador = ingreso.entra(codigo, entrada.readLine());
    if (!operador)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No se pudo iniciar la sesión del operador «%1»: %2 Sin pantalla, la contraseña "
                                      "se lee de la primera línea de la entrada estándar.")
                           .arg(codigo, Ingreso::rechazo()));
    return *operador;
}

} // namespace

std::optional<QString> iniciaSesion(const PeticionDeIngreso &peticion, Ingreso &ingreso)
{
    const QString codigo = codigoPropuesto(peticion);
    if (!codigo.isEmpty() && ingreso.entraSinContrasena(codigo))
        return ingreso.entra(codigo, QString());
    if (peticion.sinPantalla)
        return sinPantalla(codigo, ingreso);
    DialogoIngreso dialogo(ingreso, codigo);
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialogo.operador();
}
