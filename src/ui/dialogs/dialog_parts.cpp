// SPDX-License-Identifier: GPL-3.0-or-later
// Shared dialog pieces.
#include "ui/dialogs/dialog_parts.h"

#include "core/bitmap.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

QSize DialogUnits(int x, int y) {
    const QFontMetrics metrics{QFont()};
    const int charWidth = metrics.averageCharWidth(), charHeight = metrics.height();
    return {x * charWidth / 4, y * charHeight / 8};
}

ImagePanel::ImagePanel(QSize size, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(size);
}

void ImagePanel::setBitmap(const Bitmap* bitmap) {
    m_bitmap = bitmap;
    update();
}

void ImagePanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!m_bitmap || !m_bitmap->isValid()) return;
    QPainter painter(this);
    painter.drawImage(contentsRect(), m_bitmap->image());
}

SliderRow AddSliderRow(QGridLayout* grid, int row, const QString& label, int minimum, int maximum,
                       int sliderId, int fieldId) {
    auto* slider = WithId(new QSlider(Qt::Horizontal), sliderId);
    slider->setRange(minimum, maximum);
    auto* field = WithId(new QLineEdit, fieldId);
    field->setReadOnly(true);
    field->setFixedWidth(DialogUnits(46, 0).width());
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(field, row, 2);
    return {slider, field};
}

QBoxLayout* AddResetButtons(QDialog* dialog, Qt::Orientation orientation,
                            std::function<void()> onReset) {
    auto* ok = WithId(new QPushButton(QStringLiteral("OK")), 1);
    auto* cancel = WithId(new QPushButton(QStringLiteral("Cancel")), 2);
    auto* reset = WithId(new QPushButton(QStringLiteral("Reset")), 1064);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(reset, &QPushButton::clicked, dialog, std::move(onReset));
    // A row reads Reset ... OK Cancel; a column OK, Cancel ... Reset.
    if (orientation == Qt::Horizontal) {
        auto* row = new QHBoxLayout;
        row->addWidget(reset);
        row->addStretch(1);
        row->addWidget(ok);
        row->addWidget(cancel);
        return row;
    }
    auto* column = new QVBoxLayout;
    column->addWidget(ok);
    column->addWidget(cancel);
    column->addStretch(1);
    column->addWidget(reset);
    return column;
}
