#include "frmCausas.h"

#include "atrapa.h"
#include "dialogos.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/recordset.h"
#include "controles/colorzel.h"
#include "controles/etiqueta.h"
#include "controles/listview.h"
#include "controles/systemcolors.h"
#include "controles/titulo.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/log.h"
#include "runtime/twips.h"

#include <QHeaderView>

namespace {

constexpr int anchoDiseno = 5985;
constexpr int altoDiseno = 3120;
constexpr qint32 fondoDeEtiqueta = 0xF5F5F5;

// The blanks push the word towards the middle of the one wide column.
const QString encabezadoCausa = QString(51, QLatin1Char(' ')) + QStringLiteral("Causa");

} // namespace

frmCausas::frmCausas(QWidget *parent)
    : Runtime::Form(parent)
{
    setObjectName(QStringLiteral("frmCausas"));
    setWindowTitle(QStringLiteral("Selección de causa"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setKeyPreview(true);
    creaControles();
    conectaEventos();
    setFixedSize(Runtime::twipsToPixels(anchoDiseno, this), Runtime::twipsToPixels(altoDiseno, this));
}

frmCausas::~frmCausas() = default;

void frmCausas::creaControles()
{
    colorZEL = new Kit::colorZEL(this);
    colorZEL->setObjectName(QStringLiteral("colorZEL"));

    Titulo = Dialogos::creaTitulo(this, QStringLiteral("Selección de causa"), anchoDiseno, false);

    lvCausas = new Kit::ListView(this);
    lvCausas->setObjectName(QStringLiteral("lvCausas"));
    lvCausas->setColumns({encabezadoCausa});
    lvCausas->setAccessibleName(QStringLiteral("Causas"));
    // The column keeps its designed width instead of stretching over the whole list.
    lvCausas->header()->setStretchLastSection(false);
    lvCausas->header()->resizeSection(0, Runtime::twipsToPixels(5500, this));
    Runtime::placeInTwips(lvCausas, 120, 480, 5775, 2175);

    lbInfo = new Kit::Etiqueta(this);
    lbInfo->setObjectName(QStringLiteral("lbInfo"));
    lbInfo->setCaption(QStringLiteral("<Enter o Doble Click> Selecciona. <Esc> Cancela acción."));
    lbInfo->setIdetiqueta(
        QStringLiteral("Enter o Doble Click selecciona. Si no especifica la causa no se actualiza el segumiento"));
    lbInfo->setAlignmentCode(Kit::Etiqueta::Left);
    lbInfo->setBackcolor(fondoDeEtiqueta);
    lbInfo->setForecolor(Kit::SystemColor::ButtonText);
    lbInfo->setTextFormat(Qt::PlainText); // the angle brackets are the text, not markup
    Runtime::placeInTwips(lbInfo, 120, 2760, 6375, 255);
}

void frmCausas::conectaEventos()
{
    using Runtime::connectHandler;
    connectHandler(lvCausas, &Kit::ListView::keyDown, this, "lvCausas_KeyDown",
                   [this](int keyCode, int shift) { lvCausas_KeyDown(keyCode, shift); });
    connectHandler(lvCausas, &Kit::ListView::dblClick, this, "lvCausas_DblClick", [this] { lvCausas_DblClick(); });
}

void frmCausas::formLoad()
{
    Publico::Atrapa(this, QStringLiteral("Form_Load()"), QStringLiteral("ERR-ID:7500025"), [this] {
        colorZEL->AplicaColores();
        Causa.clear();
        llenaCausas();
    });
}

void frmCausas::llenaCausas()
{
    Publico::TextoSql = QStringLiteral("SELECT Cop_Cve_Causa_Oportunidad_Perdida, Cop_Descripcion ")
                        + QStringLiteral("FROM Causa_Oportunidad_Perdida ")
                        + QStringLiteral("WHERE Es_Cve_Estado <> 'BA'");
    Ado::Recordset causas = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    lvCausas->clearItems();
    while (!causas.atEnd()) {
        lvCausas->addItem(
            QStringLiteral("K")
                + Runtime::toTextOrEmpty(causas.field(QStringLiteral("Cop_Cve_Causa_Oportunidad_Perdida"))),
            Runtime::toText(causas.field(QStringLiteral("Cop_Descripcion"))));
        causas.moveNext();
    }
    causas.close();
}

// An instance that is shown again starts from an empty list, even when its next load
// fails before it could clear the list itself.
void frmCausas::formUnloaded()
{
    lvCausas->clearItems();
    Causa.clear();
}

void frmCausas::formActivate()
{
    if (lvCausas->isVisible() && lvCausas->isEnabled())
        lvCausas->setFocus();
}

void frmCausas::lvCausas_KeyDown(int keyCode, int)
{
    if (lvCausas->itemCount() == 0)
        return;
    if (keyCode == Runtime::KeyCode::Enter && lvCausas->selectedIndex() != 0) {
        eligeCausa();
    } else if (keyCode == Runtime::KeyCode::Escape) {
        Causa.clear();
        hide();
    }
}

// With no rows there is nothing to leave by key down: the release of Esc closes the
// dialog for good, as the list offers no other way out.
void frmCausas::formKeyUp(int keyCode, int)
{
    if (keyCode == Runtime::KeyCode::Escape && lvCausas->itemCount() == 0)
        unload();
}

void frmCausas::lvCausas_DblClick()
{
    Publico::Atrapa(this, QStringLiteral("lvCausas_DblClick()"), QStringLiteral("ERR-ID:7500026"),
                    [this] { eligeCausa(); });
}

void frmCausas::eligeCausa()
{
    if (lvCausas->itemCount() == 0)
        return;
    Causa = claveSeleccionada().mid(1);
    hide();
}

// A list with rows but no selection has no selected item whose key could be read.
QString frmCausas::claveSeleccionada() const
{
    const int seleccionado = lvCausas->selectedIndex();
    if (seleccionado == 0)
        Runtime::raise(Runtime::ErrorNumber::ObjectNotSet);
    return lvCausas->itemKey(seleccionado);
}
