// SPDX-License-Identifier: GPL-3.0-or-later
// Runs commands of the command table on tiny random images (1 x 1 to 9 x 9,
// 24 and 32 bits) with random selections, some reaching past the image, some
// combined from two shapes, and random parameter values in and out of range,
// then checks the document still holds a valid image.
#include "core/selection/selection_path.h"
#include "core/selection/tracing.h"
#include "document/lumaset_doc.h"
#include "fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The commands lumaset-cli can run: every one with a handler that is not
// tied to a window.
const std::vector<const CommandDef*>& runnableCommands() {
    static const std::vector<const CommandDef*> commands = [] {
        std::vector<const CommandDef*> out;
        for (const CommandDef& c : CommandTable())
            if (c.handler && !c.editorOnly && c.enable != EnableRule::Never) out.push_back(&c);
        return out;
    }();
    return commands;
}

std::unique_ptr<Bitmap> randomImage(FuzzedDataProvider& in) {
    const int w = in.ConsumeIntegralInRange(1, 9), h = in.ConsumeIntegralInRange(1, 9);
    const PixelFormat format = in.ConsumeBool() ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    auto image = std::make_unique<Bitmap>(w, h, format);
    QImage& pixels = image->image();
    const int rowBytes = w * (format == PixelFormat32bppARGB ? 4 : 3);
    for (int y = 0; y < h; ++y) {
        const std::vector<std::uint8_t> row = in.ConsumeBytes<std::uint8_t>(std::size_t(rowBytes));
        std::copy(row.begin(), row.end(), pixels.scanLine(y));
    }
    return image;
}

SelectionPath randomShape(FuzzedDataProvider& in) {
    SelectionPath path;
    auto coordinate = [&] { return in.ConsumeIntegralInRange(-12, 20); };
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 1:
        path.AddRectangle(Rect{coordinate(), coordinate(), coordinate(), coordinate()});
        break;
    case 2:
        path.AddEllipse(Rect{coordinate(), coordinate(), coordinate(), coordinate()});
        break;
    case 3: {
        QPolygon polygon;
        const int n = in.ConsumeIntegralInRange(3, 8);
        for (int i = 0; i < n; ++i)
            polygon << QPoint(coordinate(), coordinate());
        path.AddPolygon(polygon);
        break;
    }
    default:
        break; // no selection
    }
    return path;
}

// A shape, sometimes combined with a second one (added, exclusive-or,
// subtracted) into an outline traced from pixels, as the selection tools
// make with Ctrl and Shift.
SelectionPath randomSelection(FuzzedDataProvider& in) {
    SelectionPath path = randomShape(in);
    if (path.HasSelection() && in.ConsumeBool()) {
        const int mode = in.ConsumeIntegralInRange(int(CombineAdd), int(CombineSubtract));
        const SelectionPath other = randomShape(in);
        path = CombineSelections(SelectionRegion(path.GetPath()), mode,
                                 SelectionRegion(other.GetPath()));
    }
    return path;
}

// A value for spec: often a number near or beyond its range, sometimes any text.
QString randomValue(FuzzedDataProvider& in, const ParamSpec& spec) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return QString::fromStdString(in.ConsumeRandomLengthString(16));
    case 1:
        return QString::number(in.ConsumeIntegral<int>());
    default: {
        const double lo = std::max(spec.minimum, -1e6), hi = std::min(spec.maximum, 1e6);
        const double margin = (hi - lo) * 0.1 + 1;
        const double v = in.ConsumeFloatingPointInRange(lo - margin, hi + margin);
        return spec.kind == ParamKind::Integer ? QString::number(qRound64(v)) : QString::number(v);
    }
    }
}

Params randomParams(FuzzedDataProvider& in, const CommandDef& command) {
    Params params(command.params);
    const int sets = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < sets && !command.params.empty(); ++i) {
        const ParamSpec& spec =
            command.params[in.ConsumeIntegralInRange<std::size_t>(0, command.params.size() - 1)];
        params.set(QString::fromLatin1(spec.name),
                   randomValue(in, spec)); // refused values leave the default
    }
    return params;
}

// New and Resize make images of the size asked for (Resize derives a side
// left empty from the aspect ratio); keep those small too.
bool tooLarge(const CommandDef& command, const Params& params) {
    for (const ParamSpec& spec : command.params) {
        const QString name = QString::fromLatin1(spec.name);
        if ((name == u"width" || name == u"height") && params.integer(spec.name) > 16) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzSetUp();
    FuzzedDataProvider in(data, size);
    QuietHost host;
    CLumasetDoc doc(&host, FuzzScratchFolder() + "/backups");
    std::unique_ptr<Bitmap> image = randomImage(in);
    doc.m_nWidth = int(image->GetWidth());
    doc.m_nHeight = int(image->GetHeight());
    doc.SetImage(std::move(image));
    doc.MakeBackground();
    doc.PushBackup(true);
    // The drawing settings Fill and Strock use, in the ranges lumaset-cli accepts.
    doc.m_crForeground = in.ConsumeIntegral<ARGB>();
    doc.m_crBackground = in.ConsumeIntegral<ARGB>();
    doc.m_nPenWidth = in.ConsumeIntegralInRange(1, 1000);
    doc.m_nAlpha = in.ConsumeIntegralInRange(0, 255);
    SelectionPath selection = randomSelection(in);
    EditContext context{doc, selection, host};

    const std::vector<const CommandDef*>& commands = runnableCommands();
    const int steps = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < steps && in.remaining_bytes() > 0; ++i) {
        const CommandDef& command =
            *commands[in.ConsumeIntegralInRange<std::size_t>(0, commands.size() - 1)];
        const Params params = randomParams(in, command);
        if (tooLarge(command, params)) continue;
        if (qEnvironmentVariableIsSet("LUMASET_FUZZ_VERBOSE")) {
            // Which commands an input runs, for reading a finding.
            QStringList values;
            for (const ParamSpec& p : command.params)
                values << QStringLiteral("%1=%2").arg(p.name, params.text(p.name));
            std::fprintf(stderr, "%d x %d, %d bits: %s %s\n", doc.m_nWidth, doc.m_nHeight,
                         int(doc.GetImage()->GetPixelFormat() == PixelFormat32bppARGB ? 32 : 24),
                         qPrintable(PlainText(command)), qPrintable(values.join(',')));
        }
        ExecuteCommand(context, command, params);
        const Bitmap* result = doc.GetImage();
        if (!result || !result->isValid() || result->GetWidth() > 30000 ||
            result->GetHeight() > 30000)
            std::abort();
    }
    return 0;
}
