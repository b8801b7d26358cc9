#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

namespace Servicios {

// A horizontal bar chart: one bar a line, as long as its value against the largest, in its
// own colour, with its name before it and its figure after it, so the colour is never the
// only thing that tells the bars apart. Screen readers get the names and figures as the
// widget's accessible description.
class GraficaEstados final : public QWidget
{
    Q_OBJECT

public:
    struct Barra
    {
        QString nombre;
        double valor = 0; // a negative value draws no bar
        QString cifra;    // the value as it is written beside the bar
        QColor color;
    };

    explicit GraficaEstados(QWidget *parent = nullptr);

    void muestra(std::vector<Barra> barras);
    const std::vector<Barra> &barras() const { return m_barras; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int altoDeLinea() const;
    int anchoDeNombres() const;
    int anchoDeCifras() const;

    std::vector<Barra> m_barras;
};

} // namespace Servicios
