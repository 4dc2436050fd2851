// SPDX-License-Identifier: GPL-3.0-or-later
// The Resize and New File dialogs.
#include "ui/dialogs/size_dialogs.h"

#include "ui/dialogs/dialog_parts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A size field: any value the limits check can judge, stepped by one.
QSpinBox* sizeField(int id, int value) {
    auto* field = WithId(new QSpinBox, id);
    field->setRange(0, 99999);
    field->setValue(value);
    return field;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(WithId(new QPushButton(QStringLiteral("OK")), 1),
                       QDialogButtonBox::AcceptRole);
    buttons->addButton(WithId(new QPushButton(QStringLiteral("Cancel")), 2),
                       QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

bool CheckImageSize(QWidget* parent, int width, int height) {
    if (IsAcceptedImageSize(width, height)) return true;
    QMessageBox::warning(parent, QStringLiteral("Lumaset"),
                         QString::fromLatin1(ImageSizeRefusal()));
    return false;
}

CResizeDlg::CResizeDlg(int width, int height, QWidget* parent)
    : QDialog(parent), m_model(width, height) {
    setWindowTitle(QStringLiteral("Resize"));
    m_width = sizeField(1034, width);
    m_height = sizeField(1035, height);
    m_restrict = WithId(new QCheckBox(QStringLiteral("Restrict")), 1084);
    m_restrict->setChecked(true);
    auto* group = new QGroupBox(QStringLiteral("Resize"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Width"), m_width);
    form->addRow(QStringLiteral("Height"), m_height);
    form->addRow(m_restrict);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancel(this));

    // Typing and the arrows both arrive here; with "Restrict" the other side follows.
    // Each handler writes only the other field, so the one being typed in keeps its text.
    connect(m_width, &QSpinBox::valueChanged, this, [this](int w) {
        if (m_guard) return;
        m_model.typeWidth(w);
        write(m_height, m_model.height());
    });
    connect(m_height, &QSpinBox::valueChanged, this, [this](int h) {
        if (m_guard) return;
        m_model.typeHeight(h);
        write(m_width, m_model.width());
    });
    connect(m_restrict, &QCheckBox::toggled, this, [this](bool on) { m_model.setRestrict(on); });
}

void CResizeDlg::write(QSpinBox* field, int value) {
    m_guard = true;
    field->setValue(value);
    m_guard = false;
}

void CResizeDlg::showSize() {
    write(m_width, m_model.width());
    write(m_height, m_model.height());
}

void CResizeDlg::accept() {
    if (CheckImageSize(this, m_model.width(), m_model.height())) QDialog::accept();
}

CNewFileDialog::CNewFileDialog(int width, int height, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New File"));
    m_width = sizeField(1034, width);
    m_height = sizeField(1035, height);
    auto* group = WithId(new QGroupBox(QStringLiteral("Size")), 1033);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Width:"), m_width);
    form->addRow(QStringLiteral("Height:"), m_height);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancel(this));
}

int CNewFileDialog::width() const {
    return m_width->value();
}
int CNewFileDialog::height() const {
    return m_height->value();
}

void CNewFileDialog::accept() {
    if (CheckImageSize(this, width(), height())) QDialog::accept();
}
