// SPDX-License-Identifier: GPL-3.0-or-later
// The text dialog and its preview.
#include "ui/dialogs/text_dialog.h"

#include "core/bitmap.h"
#include "ui/dialogs/dialog_parts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

// The image with the text, at the image's size.
class CMyTextView::Canvas : public QWidget {
  public:
    Canvas(const Bitmap& background, TextStyle& style, QWidget* parent)
        : QWidget(parent), m_background(background), m_style(style) {
        setFixedSize(int(background.GetWidth()), int(background.GetHeight()));
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        // The text goes straight onto the painted image, without antialiasing
        // as "Add Text" draws it; only the exposed part is painted, so a large
        // photo drags as smoothly as a small one.
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(0, 0, m_background.image());
        RenderText(painter, m_style);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        m_dragging = true;
        m_last = e->position().toPoint();
    }
    // The dialog's "X:" and "Y:" fields keep their values while the text moves.
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!m_dragging) return;
        const QPoint p = e->position().toPoint();
        m_style.origin += p - m_last;
        m_last = p;
        update();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) m_dragging = false;
    }

  private:
    const Bitmap& m_background;
    TextStyle& m_style;
    bool m_dragging = false;
    QPoint m_last;
};

CMyTextView::CMyTextView(const Bitmap& background, TextStyle& style, QWidget* parent)
    : QScrollArea(parent), m_canvas(new Canvas(background, style, this)) {
    setWidget(m_canvas);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
}

void CMyTextView::changed() {
    m_canvas->update();
}

// A colour swatch: a click opens the colour chooser on its colour.
class CTextDialog::Swatch : public QFrame {
  public:
    Swatch(QColor& color, std::function<void()> changed, QWidget* parent)
        : QFrame(parent), m_color(color), m_changed(std::move(changed)) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setFixedSize(DialogUnits(24, 12));
    }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter(this).fillRect(contentsRect(),
                                QColor(m_color.red(), m_color.green(), m_color.blue()));
        QFrame::paintEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const QColor chosen = QColorDialog::getColor(QColor(m_color.rgb()), this);
        if (!chosen.isValid()) return;
        // The swatch's alpha (the outline and shadow alphas) stays as the fields set it.
        m_color = QColor(chosen.red(), chosen.green(), chosen.blue(), m_color.alpha());
        update();
        m_changed();
    }

  private:
    QColor& m_color;
    std::function<void()> m_changed;
};

CTextDialog::CTextDialog(Bitmap& image, int x, int y, QWidget* parent)
    : QDialog(parent), m_target(image), m_background(image.Clone()) {
    setWindowTitle(QStringLiteral("Text"));
    m_style.origin = QPoint(x, y);
    m_view = WithId(new CMyTextView(*m_background, m_style, this), 10001);
    m_view->setMinimumSize(DialogUnits(370, 110));

    auto* text = WithId(new QLineEdit(QStringLiteral("Lumaset")), 1000);
    connect(text, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_style.text = TranslateEscapes(t);
        changed();
    });
    m_style.text = TranslateEscapes(text->text());

    // The chooser opens on the face, the 42-pixel height and the italic style
    // the dialog has always started with; the field and the drawing start at size 48.
    m_chooserFont = QFont(m_style.face);
    m_chooserFont.setPixelSize(42);
    m_chooserFont.setItalic(true);
    m_fontField = WithId(new QLineEdit(QStringLiteral("Arial Black, 48 Regular")), 1026);
    m_fontField->setReadOnly(true);
    m_fontField->setMinimumWidth(DialogUnits(110, 0).width());
    auto* fontButton = WithId(new QPushButton(QStringLiteral("Change Font")), 1027);
    connect(fontButton, &QPushButton::clicked, this, &CTextDialog::chooseFont);

    auto* effect = WithId(new QComboBox, 1011);
    effect->addItems({QStringLiteral("Single Outline"), QStringLiteral("Double Outline"),
                      QStringLiteral("Plain Text")});
    connect(effect, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (const auto e = TextEffectForIndex(i)) m_style.effect = *e;
        changed();
    });
    auto* gradient = WithId(new QCheckBox(QStringLiteral("Gradient")), 1032);
    gradient->setChecked(true);
    connect(gradient, &QCheckBox::toggled, this, [this](bool on) {
        m_style.gradient = on;
        changed();
    });

    auto swatch = [this](QColor& c, int id) {
        return WithId(new Swatch(
                          c, [this] { changed(); }, this),
                      id);
    };
    auto* grid = new QGridLayout;
    int row = 0;
    auto label = [](const char* t) { return new QLabel(QString::fromLatin1(t)); };
    grid->addWidget(label("Text:"), row, 0);
    grid->addWidget(text, row, 1, 1, 3);
    grid->addWidget(label("Font:"), row, 4);
    grid->addWidget(m_fontField, row, 5, 1, 3);
    grid->addWidget(fontButton, row++, 8);
    grid->addWidget(label("Effect:"), row, 0);
    grid->addWidget(effect, row, 1, 1, 2);
    grid->addWidget(gradient, row, 3);
    grid->addWidget(label("Color1:"), row, 4);
    grid->addWidget(swatch(m_style.fill, 1021), row, 5);
    grid->addWidget(label("Color2:"), row, 6);
    grid->addWidget(swatch(m_style.gradientEnd, 1022), row++, 7);
    grid->addWidget(label("OutLine1:"), row, 0);
    grid->addWidget(swatch(m_style.inner, 1023), row, 1);
    grid->addWidget(label("Thick:"), row, 2);
    grid->addWidget(numberField(1013, "4", [](TextStyle& s, int v) { s.innerThickness = v; }), row,
                    3);
    grid->addWidget(label("Alpha:"), row, 4);
    grid->addWidget(
        numberField(1014, "255", [](TextStyle& s, int v) { s.inner.setAlpha(ClampTextAlpha(v)); }),
        row, 5);
    grid->addWidget(label("X:"), row, 6);
    grid->addWidget(numberField(1031, QString::asprintf("%d", x),
                                [](TextStyle& s, int v) { s.origin.setX(v); }),
                    row++, 7);
    grid->addWidget(label("OutLine2:"), row, 0);
    grid->addWidget(swatch(m_style.outer, 1024), row, 1);
    grid->addWidget(label("Thick:"), row, 2);
    grid->addWidget(numberField(1015, "4", [](TextStyle& s, int v) { s.outerThickness = v; }), row,
                    3);
    grid->addWidget(label("Alpha:"), row, 4);
    grid->addWidget(
        numberField(1016, "255", [](TextStyle& s, int v) { s.outer.setAlpha(ClampTextAlpha(v)); }),
        row, 5);
    grid->addWidget(label("Y:"), row, 6);
    grid->addWidget(numberField(1030, QString::asprintf("%d", y),
                                [](TextStyle& s, int v) { s.origin.setY(v); }),
                    row++, 7);
    grid->addWidget(label("Shadow:"), row, 0);
    grid->addWidget(swatch(m_style.shadow, 1025), row, 1);
    grid->addWidget(label("Thick:"), row, 2);
    grid->addWidget(numberField(1017, "4", [](TextStyle& s, int v) { s.shadowThickness = v; }), row,
                    3);
    grid->addWidget(label("Alpha:"), row, 4);
    grid->addWidget(
        numberField(1018, "128", [](TextStyle& s, int v) { s.shadow.setAlpha(ClampTextAlpha(v)); }),
        row, 5);
    grid->addWidget(label("OffX:"), row, 6);
    grid->addWidget(numberField(1019, "4", [](TextStyle& s, int v) { s.shadowX = v; }), row, 7);
    grid->addWidget(label("OffY:"), row, 8);
    grid->addWidget(numberField(1020, "4", [](TextStyle& s, int v) { s.shadowY = v; }), row++, 9);

    auto* add = WithId(new QPushButton(QStringLiteral("Add Text")), 1009);
    auto* cancel = WithId(new QPushButton(QStringLiteral("Cancel")), 1010);
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, [this] {
        m_drew = RenderText(m_target, m_style);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

CTextDialog::~CTextDialog() = default;

QLineEdit* CTextDialog::numberField(int id, const QString& text, void (*apply)(TextStyle&, int)) {
    auto* field = WithId(new QLineEdit(text), id);
    field->setFixedWidth(DialogUnits(28, 0).width());
    // Text that is not a number reads as 0.
    connect(field, &QLineEdit::textChanged, this, [this, apply](const QString& t) {
        apply(m_style, t.toInt());
        changed();
    });
    return field;
}

void CTextDialog::chooseFont() {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, m_chooserFont, this, QStringLiteral("Font"));
    if (!ok) return;
    m_chooserFont = chosen;
    // The chooser's size in points becomes the em size in pixels, as it always has.
    const int size = chosen.pointSize() > 0 ? chosen.pointSize() : chosen.pixelSize();
    m_style.face = chosen.family();
    m_style.size = size;
    const int weight = chosen.weight() == QFont::Bold ? 700 : int(chosen.weight());
    m_fontField->setText(FontDescription(chosen.family(), size, weight, chosen.italic()));
    changed();
}
