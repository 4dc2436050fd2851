// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing shapes and command steps of the step language.
#include "commands/step_language.h"

#include "commands/command.h"
#include "core/selection/selection_commands.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "core/selection/tracing.h"
#include "document/lumaset_doc.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Coordinates beyond this are refused: no picture is that large, and the
// bound keeps the outline arithmetic far from overflow.
constexpr double kCoordinateLimit = 1000000;

QString parseNumbers(const QString& text, const QString& kind, std::vector<int>* numbers) {
    for (const QString& part : text.split(',')) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok || std::abs(v) > kCoordinateLimit)
            return QStringLiteral("bad %1 coordinate '%2' (a whole number from %3 to %4)")
                .arg(kind, part.trimmed())
                .arg(-kCoordinateLimit)
                .arg(kCoordinateLimit);
        numbers->push_back(v);
    }
    return {};
}

// The elements of a path: form, "M X,Y", "L X,Y" and "C X1,Y1,X2,Y2,X,Y"
// separated by spaces, rebuilt with the same QPainterPath calls in order.
QString parsePath(const QString& text, SelectionPath* out) {
    QPainterPath path;
    const QStringList tokens = text.split(' ', Qt::SkipEmptyParts);
    if (tokens.isEmpty()) return QStringLiteral("bad path '' (M X,Y L X,Y ...)");
    for (const QString& token : tokens) {
        const QChar op = token.at(0).toUpper();
        const QStringList parts = token.mid(1).split(',');
        const int wanted = op == 'C' ? 6 : (op == 'M' || op == 'L') ? 2 : 0;
        if (wanted == 0 || parts.size() != wanted || (path.elementCount() == 0 && op != 'M'))
            return "bad path element '" + token + "' (M X,Y, L X,Y or C X1,Y1,X2,Y2,X,Y)";
        double v[6];
        for (int i = 0; i < wanted; ++i) {
            bool ok = false;
            v[i] = parts[i].toDouble(&ok);
            if (!ok || !std::isfinite(v[i]) || std::abs(v[i]) > kCoordinateLimit)
                return "bad path element '" + token + "' (numbers up to 1000000)";
        }
        if (op == 'M')
            path.moveTo(v[0], v[1]);
        else if (op == 'L')
            path.lineTo(v[0], v[1]);
        else
            path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
    }
    *out = SelectionPath(path);
    return {};
}

// The outline of a shape other than all and none; doc is needed for wand and
// color (and may be null to check syntax only).
QString buildShape(const QString& spec, CLumasetDoc* doc, SelectionPath* path) {
    const int colon = spec.indexOf(':');
    if (colon < 0) return "bad shape '" + spec + "'";
    const QString kind = spec.left(colon).trimmed().toLower();
    const QString args = spec.mid(colon + 1);
    if (kind == "path") return parsePath(args, path);
    if (kind != "rect" && kind != "ellipse" && kind != "polygon" && kind != "wand" &&
        kind != "color")
        return "unknown shape '" + kind + "'";
    std::vector<int> n;
    if (QString error = parseNumbers(args, kind, &n); !error.isEmpty()) return error;
    if (kind == "rect" || kind == "ellipse") {
        // A width or height of 0 gives what a click without a drag gives: a
        // selection that covers nothing.
        if (n.size() != 4 || n[2] < 0 || n[3] < 0)
            return "bad " + kind + " '" + args + "' (X,Y,W,H with W and H 0 or more)";
        const Rect r{n[0], n[1], n[2], n[3]};
        // Added the way the selection tools add their shapes: one with no
        // area leaves its points but no figure.
        SelectionPath shape;
        kind == "rect" ? shape.AddRectangle(r) : shape.AddEllipse(r);
        path->AddPath(shape);
    } else if (kind == "polygon") {
        if (n.size() < 6 || n.size() % 2)
            return "bad polygon '" + args + "' (at least three X,Y pairs)";
        QPolygon polygon;
        for (std::size_t i = 0; i < n.size(); i += 2)
            polygon << QPoint(n[i], n[i + 1]);
        path->AddPolygon(polygon);
    } else {
        if (n.size() != 2) return "bad " + kind + " '" + args + "' (X,Y)";
        if (!doc) return {};
        if (n[0] < 0 || n[1] < 0 || n[0] >= doc->m_nWidth || n[1] >= doc->m_nHeight)
            return QStringLiteral("%1 point %2,%3 is outside the %4 x %5 image")
                .arg(kind)
                .arg(n[0])
                .arg(n[1])
                .arg(doc->m_nWidth)
                .arg(doc->m_nHeight);
        *path = MagicWandSelect(*doc->GetImage(), n[0], n[1], 14, kind == "color");
    }
    return {};
}

QString number(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return QString::fromLatin1(buffer, int(end - buffer));
}

QString pathText(const QPainterPath& path) {
    QStringList tokens;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            tokens << "C" + QStringList{number(e.x),  number(e.y),   number(c2.x),
                                        number(c2.y), number(end.x), number(end.y)}
                                .join(',');
            i += 2;
        } else {
            tokens << (e.type == QPainterPath::MoveToElement ? "M" : "L") + number(e.x) + "," +
                          number(e.y);
        }
    }
    return "path:" + tokens.join(' ');
}

// The simpler shapes that could have made path, tried in turn; each is kept
// only if it rebuilds the very same elements.
QString simpleShape(const QPainterPath& path) {
    const QRectF box = path.boundingRect();
    const Rect r{int(box.x()), int(box.y()), int(box.width()), int(box.height())};
    const bool integral = QRectF(r.X, r.Y, r.Width, r.Height) == box && r.Width > 0 && r.Height > 0;
    QStringList candidates;
    const QString xywh = QStringLiteral("%1,%2,%3,%4").arg(r.X).arg(r.Y).arg(r.Width).arg(r.Height);
    if (integral) candidates << "rect:" + xywh << "ellipse:" + xywh;
    QStringList points;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if ((e.type != QPainterPath::MoveToElement) != (i > 0) || e.x != std::trunc(e.x) ||
            e.y != std::trunc(e.y)) {
            points.clear();
            break;
        }
        points << number(e.x) + "," + number(e.y);
    }
    if (points.size() >= 4 && points.first() == points.last()) {
        points.removeLast(); // the closing line, which the polygon adds itself
        candidates << "polygon:" + points.join(',');
    }
    for (const QString& shape : candidates) {
        SelectionPath rebuilt;
        if (buildShape(shape, nullptr, &rebuilt).isEmpty() && SameOutline(rebuilt.GetPath(), path))
            return shape;
    }
    return {};
}

struct SelectionName {
    std::uint64_t revision = 0;
    QString shape;
};
// Outline revisions are unique in the process, so one remembered name can
// serve every document: it applies only to the outline that has its revision.
thread_local SelectionName g_lastName;

} // namespace

QString ApplySelectionStep(const QString& kind, const QString& shape, CLumasetDoc& doc,
                           SelectionPath& selection) {
    const QString lowered = shape.trimmed().toLower();
    SelectionPath b;
    if (lowered == "all") {
        b.AddRectangle(
            Rect{0, 0, int(doc.GetImage()->GetWidth()), int(doc.GetImage()->GetHeight())});
    } else if (lowered == "none") {
        if (kind == "select") CancelSelection(selection);
        return {};
    } else if (QString error = buildShape(shape, &doc, &b); !error.isEmpty()) {
        return error;
    }
    if (kind == "select" || (kind == "select-add" && !selection.HasSelection())) {
        selection = b;
        NameSelection(selection, shape.trimmed());
    } else if (selection.HasSelection()) {
        const int mode = kind == "select-add" ? CombineAdd : CombineSubtract;
        selection = CombineSelections(SelectionRegion(selection.GetPath()), mode,
                                      SelectionRegion(b.GetPath()));
    }
    return {};
}

QString CheckShapeSyntax(const QString& shape) {
    const QString lowered = shape.trimmed().toLower();
    if (lowered == "all" || lowered == "none") return {};
    SelectionPath unused;
    return buildShape(shape, nullptr, &unused);
}

QString DescribeSelection(const SelectionPath& selection) {
    if (!selection.HasSelection()) return QStringLiteral("none");
    if (g_lastName.revision == selection.GetRevision()) return g_lastName.shape;
    // Points without a figure, as a click without a drag leaves: a selection
    // that covers nothing, wherever it was clicked.
    if (selection.GetPath().isEmpty()) return QStringLiteral("rect:0,0,0,0");
    const QString simple = simpleShape(selection.GetPath());
    return simple.isEmpty() ? pathText(selection.GetPath()) : simple;
}

void NameSelection(const SelectionPath& selection, const QString& shape) {
    g_lastName = {selection.GetRevision(), shape};
}

QString ParseCommandStep(const QString& spec, const CommandDef*& command, Params& params) {
    const int colon = spec.indexOf(':');
    const QString name = colon < 0 ? spec : spec.left(colon);
    command = FindCommandByName(name);
    if (!command) return "unknown command '" + name + "' (see --list)";
    params = Params(command->params);
    QStringList given;
    if (colon >= 0) {
        for (const QString& pair : spec.mid(colon + 1).split(',', Qt::SkipEmptyParts)) {
            const int eq = pair.indexOf('=');
            if (eq <= 0)
                return PlainText(*command) + ": bad parameter '" + pair + "' (use KEY=VALUE)";
            const QString error = params.set(pair.left(eq).trimmed(), pair.mid(eq + 1));
            if (!error.isEmpty()) return PlainText(*command) + ": " + error;
            given << pair.left(eq).trimmed().toLower();
        }
    }
    // A dialog's starting position is no default for a step given as text
    // (Gamma's slider starts at a gamma that turns the picture almost black):
    // one of the required parameters must be given.
    QStringList required;
    for (const ParamSpec& p : command->params) {
        if (!p.required) continue;
        if (given.contains(QString::fromLatin1(p.name).toLower())) return {};
        required
            << QStringLiteral("%1=%2..%3").arg(QLatin1String(p.name)).arg(p.minimum).arg(p.maximum);
    }
    if (!required.isEmpty()) return PlainText(*command) + " needs " + required.join(" or ");
    return {};
}

QString CommandStepText(const CommandDef& command, const Params& params) {
    QStringList pairs;
    // An empty value is the default's own (Resize's "the current width");
    // leaving it out keeps it so.
    for (const ParamSpec& p : command.params)
        if (!params.text(p.name).isEmpty())
            pairs << QLatin1String(p.name) + "=" + params.text(p.name);
    const QString name = PlainText(command);
    return pairs.isEmpty() ? name : name + ":" + pairs.join(',');
}

bool SameOutline(const QPainterPath& a, const QPainterPath& b) {
    if (a.elementCount() != b.elementCount()) return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element ea = a.elementAt(i), eb = b.elementAt(i);
        if (ea.type != eb.type || ea.x != eb.x || ea.y != eb.y) return false;
    }
    return true;
}

QString ColourText(ARGB colour) {
    return QStringLiteral("#%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

bool ParseColour(const QString& text, ARGB* colour) {
    static const QRegularExpression re(QStringLiteral("^#([0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})$"));
    if (!re.match(text).hasMatch()) return false;
    *colour = text.mid(1).toUInt(nullptr, 16);
    if (text.size() == 7) *colour |= 0xFF000000u;
    return true;
}
