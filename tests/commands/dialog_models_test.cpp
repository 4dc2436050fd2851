// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs' preview models: values and ranges, previews made by the
// commands' routines, OK applying the same bytes as the command with the
// model's values, and Cancel changing nothing.
#include "adjust/adjust_previews.h"
#include "adjust/blend.h"
#include "adjust/resize.h"
#include "adjust/tone.h"
#include "commands/adjust_commands.h"
#include "commands/run_effect.h"
#include "core/selection/selection_region.h"
#include "effects/lomo_preview.h"
#include "testing/edit_session.h"

namespace {

// Runs the command with the values the model writes, as OK does.
template <class Model> CommandResult applyModel(EditSession& s, int commandId, const Model& model) {
    Params values(FindCommand(commandId)->params);
    model.writeValues(values);
    s.host.answer = [&](const CommandDef&, EditContext&, const Params&) {
        return std::optional<Params>(values);
    };
    return s.run(commandId, Params(FindCommand(commandId)->params));
}

std::unique_ptr<Bitmap> photo(PixelFormat format = PixelFormat24bppRGB) {
    return MakePatternBitmap(61, 37, format, 7);
}

} // namespace

TEST(BlendPreview, ChoicesRangesAndPreview) {
    auto image = photo(PixelFormat32bppARGB);
    BlendPreview model(*image);
    EXPECT_EQ(model.mode(), 0); // Darken, as the list shows
    model.setMode(19);
    EXPECT_EQ(model.mode(), 0);
    model.setChannel(4);
    EXPECT_EQ(model.channel(), 0);
    model.setAlpha(250);
    EXPECT_EQ(model.alpha(), 100);
    model.setAlpha(-3);
    EXPECT_EQ(model.alpha(), 0);

    struct Case {
        int mode, channel, alpha;
    };
    for (const Case c : {Case{2, 0, 100}, Case{17, 2, 40}, Case{9, 3, 29}}) {
        model.setMode(c.mode);
        model.setChannel(c.channel);
        model.setAlpha(c.alpha);
        auto expected = model.reference().Clone(Rect{0, 0, 232, 129}, PixelFormat32bppARGB);
        BlendImages(*expected, c.channel, model.reference(), c.channel, c.mode, c.alpha / 100.0);
        EXPECT_TRUE(SameBitmaps(*expected, model.preview())) << c.mode;

        EditSession s(image->Clone());
        ASSERT_EQ(applyModel(s, 32867, model), CommandResult::Done);
        auto whole = image->Clone();
        BlendImages(*whole, c.channel, *image, c.channel, c.mode, c.alpha / 100.0);
        EXPECT_TRUE(SameBitmaps(*whole, *s.doc.GetImage())) << c.mode;
    }
}

TEST(TonePreview, SlidersTextsAndReset) {
    auto image = photo();
    TonePreview gamma(ToneKind::Gamma, *image, nullptr);
    EXPECT_EQ(gamma.position(0), 1); // gamma 0.02: the preview opens dark
    EXPECT_EQ(gamma.valueText(0), "0.020000");
    gamma.setPosition(0, 50);
    EXPECT_EQ(gamma.valueText(0), "1.000000");
    gamma.setPosition(0, 400);
    EXPECT_EQ(gamma.position(0), 100);
    EXPECT_EQ(gamma.valueText(0), "5.000000");
    gamma.reset();
    EXPECT_EQ(gamma.position(0), 1);

    TonePreview bc(ToneKind::BrightnessContrast, *image, nullptr);
    bc.setPosition(0, -300);
    bc.setPosition(1, 77);
    EXPECT_EQ(bc.valueText(0), "-255");
    EXPECT_EQ(bc.valueText(1), "77");
    EXPECT_STREQ(bc.groupTitle(), "ColorBalance"); // the template's title, kept
    bc.reset();
    EXPECT_EQ(bc.position(0), 0);
    EXPECT_EQ(bc.position(1), 0);
}

TEST(TonePreview, PreviewIsTheCommandsResult) {
    struct Case {
        ToneKind kind;
        int command;
        int positions[3];
    };
    const Case cases[] = {
        {ToneKind::BrightnessContrast, 32802, {40, -30, 0}},
        {ToneKind::ColorBalance, 32801, {255, -20, 7}},
        {ToneKind::Gamma, 32804, {73, 0, 0}},
        {ToneKind::Gamma, 32804, {1, 0, 0}},
    };
    // No selection, a selection inside, one moved past the image's corner and
    // one wholly outside it.
    const QRectF selections[] = {{}, {5, 4, 20, 12}, {50, 30, 40, 40}, {-80, -50, 20, 20}};
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
        for (const Case& c : cases)
            for (const QRectF& rect : selections) {
                auto image = photo(format);
                EditSession s(image->Clone());
                if (!rect.isEmpty()) s.selection.AddRectangle(rect);
                const auto region = MakeSelectionRegion(s.selection, MaskRule::IfSelected);
                TonePreview model(c.kind, *s.doc.GetImage(), region.get());
                for (std::size_t i = 0; i < model.sliders().size(); ++i)
                    model.setPosition(int(i), c.positions[i]);

                auto expected = image->Clone();
                const int* p = c.positions;
                if (c.kind == ToneKind::BrightnessContrast)
                    AdjustBrightnessContrast(*image, *expected, p[0], p[1], region.get());
                if (c.kind == ToneKind::ColorBalance)
                    AdjustColorBalance(*image, *expected, p[0], p[1], p[2], region.get());
                if (c.kind == ToneKind::Gamma)
                    AdjustGamma(*image, *expected, GammaFromSliderPosition(p[0]));
                ASSERT_TRUE(SameBitmaps(*expected, model.after())) << c.command;
                ASSERT_TRUE(SameBitmaps(*image, model.before()))
                    << "the document is untouched while open";

                // OK: the command recomputes the working copy's bytes from the values.
                auto working = model.after().Clone();
                ASSERT_EQ(applyModel(s, c.command, model), CommandResult::Done);
                ASSERT_TRUE(SameBitmaps(*working, *s.doc.GetImage())) << c.command;
                EXPECT_EQ(s.doc.GetHistoryCount(), 2);
            }
}

TEST(DialogCommands, CancelChangesNothing) {
    for (const int command : {32867, 32802, 32801, 32804, 32859, 32854, 32857, 57600}) {
        auto image = photo();
        EditSession s(image->Clone());
        s.host.answer = [](const CommandDef&, EditContext&, const Params&) { return std::nullopt; };
        EXPECT_EQ(s.run(command, Params(FindCommand(command)->params)), CommandResult::Cancelled)
            << command;
        EXPECT_TRUE(SameBitmaps(*image, *s.doc.GetImage())) << command;
        EXPECT_EQ(s.doc.GetHistoryCount(), 1) << command;
        EXPECT_FALSE(s.doc.IsModified()) << command;
    }
}

TEST(CurvePreview, PointsDriveThePreviewAndTheCommand) {
    auto image = photo();
    CurvePreview model(*image);
    EXPECT_TRUE(SameBitmaps(model.reference(), model.preview())) << "the identity curve";
    model.curve().press({128, 200});
    model.curve().release();
    model.refresh();
    EXPECT_EQ(model.table()[128], 200);
    auto expected = model.reference().Clone();
    ApplyChannelTable(model.reference(), *expected, model.table(), 7);
    EXPECT_TRUE(SameBitmaps(*expected, model.preview()));

    EditSession s(image->Clone());
    ASSERT_EQ(applyModel(s, 32859, model), CommandResult::Done);
    auto whole = image->Clone();
    ApplyChannelTable(*image, *whole, model.table(), 7);
    EXPECT_TRUE(SameBitmaps(*whole, *s.doc.GetImage()));
}

TEST(LomoPreview, SlidersOrderingAndPreview) {
    auto image = photo();
    auto thumbnail = ScaledCopy(*image, LomoPreview::kWidth, LomoPreview::kHeight);
    LomoPreview model(*thumbnail);
    EXPECT_EQ(model.valueText(LomoPreview::Cyan), "-80");
    EXPECT_EQ(model.valueText(LomoPreview::Gamma), "1.20");
    EXPECT_EQ(model.valueText(LomoPreview::Ratio), "0.40");
    EXPECT_EQ(model.setPosition(LomoPreview::Black, 255), 251); // stops at White
    EXPECT_EQ(model.setPosition(LomoPreview::White, 10), 251);  // stops at Black (now 251)
    model.setPosition(LomoPreview::Black, 30);
    EXPECT_EQ(model.setPosition(LomoPreview::White, 10), 30);
    EXPECT_EQ(model.setPosition(LomoPreview::Gamma, 5000), 1000);
    model.reset();
    EXPECT_EQ(model.position(LomoPreview::White), 251);

    model.setPosition(LomoPreview::Yellow, 35);
    model.setPosition(LomoPreview::Ratio, 65);
    auto expected = thumbnail->Clone();
    Lomo(*thumbnail, *expected, nullptr, model.params());
    EXPECT_TRUE(SameBitmaps(*expected, model.preview()));

    EditSession s(image->Clone());
    ASSERT_EQ(applyModel(s, 32854, model), CommandResult::Done);
    auto whole = image->Clone();
    Lomo(*image, *whole, nullptr, model.params());
    EXPECT_TRUE(SameBitmaps(*whole, *s.doc.GetImage()));
}

TEST(ImageSizeLimits, SidesAndPixelMemory) {
    EXPECT_TRUE(IsAcceptedImageSize(30000, 8000));
    EXPECT_FALSE(IsAcceptedImageSize(30000, 10000)); // 1.2 GB of 32-bit pixels
    EXPECT_FALSE(IsAcceptedImageSize(0, 10));
    EXPECT_FALSE(IsAcceptedImageSize(30001, 1));
}
