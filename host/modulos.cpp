#include "modulos.h"

#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"

#include <QWidget>

Modulos::Modulos(const QString &registro)
    : m_registro(registro)
    , m_cargador(Runtime::ComponentRegistry(registro))
{ }

// Each module takes its screen with it.
Modulos::~Modulos() = default;

// The registry keeps one group per registration name; the platform's registry answers
// look-ups by name only, so the host reads the list from the same file.
QStringList Modulos::instalados() const
{
    // The user's registrations and the computer's (those of an installed package).
    return Runtime::ComponentRegistry(m_registro).registrationNames();
}

QWidget *Modulos::pantalla(const QString &nombreDeRegistro)
{
    if (QWidget *abierta = cargada(nombreDeRegistro))
        return abierta;
    std::unique_ptr<QObject> modulo = m_cargador.createObject(nombreDeRegistro);
    auto *pantalla = qobject_cast<QWidget *>(Runtime::readMember(modulo.get(), "GetPantalla").value<QObject *>());
    if (!pantalla)
        Runtime::raise(Runtime::ErrorNumber::ObjectNotSet,
                       QStringLiteral("El módulo %1 no entregó su pantalla").arg(nombreDeRegistro));
    m_cargados[nombreDeRegistro] = Cargado{std::move(modulo), pantalla};
    return pantalla;
}

QWidget *Modulos::cargada(const QString &nombreDeRegistro) const
{
    const auto encontrado = m_cargados.find(nombreDeRegistro);
    return encontrado == m_cargados.end() ? nullptr : encontrado->second.pantalla.data();
}

// The names the suite's users know its screens by, before any module is loaded to say it.
QString Modulos::nombreParaElUsuario(const QString &nombreDeRegistro)
{
    static const std::map<QString, QString, std::less<>> conocidos{
        {QStringLiteral("KLD251.Pantalla"), QStringLiteral("Control de oportunidades")},
    };
    const auto conocido = conocidos.find(nombreDeRegistro);
    return conocido == conocidos.end() ? nombreDeRegistro : conocido->second;
}

QString Modulos::familia(const QString &nombreDeRegistro) const
{
    const auto encontrado = m_cargados.find(nombreDeRegistro);
    if (encontrado == m_cargados.end())
        return {};
    return Runtime::toTextOrEmpty(Runtime::readMember(encontrado->second.modulo.get(), "Modulo"));
}
