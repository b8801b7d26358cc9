#include "dialogos.h"

#include "controles/flatbutton.h"
#include "controles/titulo.h"
#include "runtime/twips.h"

#include <QFont>

namespace Dialogos {
namespace {

constexpr qint32 colorDeBoton = 0x8A5300;
constexpr qint32 colorDeTextoDeBoton = 0xFFFFFF;
constexpr qint32 colorDeFoco = 0x75ACFF;
constexpr int altoDeTitulo = 405;
constexpr int altoDeBoton = 375;

QString siNo(bool valor)
{
    return valor ? QStringLiteral("SI") : QStringLiteral("NO");
}

} // namespace

Kit::Titulo *creaTitulo(QWidget *dialogo, const QString &leyenda, int ancho, bool conSalida)
{
    auto *titulo = new Kit::Titulo(dialogo);
    titulo->setObjectName(QStringLiteral("Titulo"));
    titulo->setCaption(leyenda);
    titulo->setShowminbutton(siNo(false));
    titulo->setShowmaxbutton(siNo(false));
    titulo->setShowexitbutton(siNo(conSalida));
    titulo->setAdjusticon(siNo(false));
    Runtime::placeInTwips(titulo, 0, 0, ancho, altoDeTitulo);
    return titulo;
}

Kit::flatButton *creaBoton(QWidget *dialogo, const QString &nombre, const QString &leyenda, int izquierda, int arriba,
                           int ancho)
{
    auto *boton = new Kit::flatButton(dialogo);
    boton->setObjectName(nombre);
    boton->setCaption(leyenda);
    boton->setBackcolor(colorDeBoton);
    boton->setBordercolor(colorDeBoton);
    boton->setForecolor(colorDeTextoDeBoton);
    boton->setFocuscolor(colorDeFoco);
    boton->setFont(QFont(QStringLiteral("Calibri"), 9));
    boton->setIconsize(2);
    Runtime::placeInTwips(boton, izquierda, arriba, ancho, altoDeBoton);
    return boton;
}

} // namespace Dialogos
