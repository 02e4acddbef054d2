#include "app/PlanExportDialog.h"

#include "platform/RecordingDialogService.h"
#include "ui/PlanTemplates.h"

#include <gtest/gtest.h>

namespace {

namespace pe = ui::planexport;

struct Written {
    std::string path;
    plan::PlanOptions options;
    int calls = 0;
};

app::PlanExportDialog::Writer Recorder(Written& written, bool fail = false)
{
    return [&written, fail](const std::string& path,
                            const plan::PlanOptions& options) -> platform::Result<plan::PlanExportResult> {
        ++written.calls;
        written.path = path;
        written.options = options;
        if (fail) return platform::Fail("cannot write /ro/plan.pdf: Read-only file system");
        return plan::PlanExportResult{.pages = 3, .tiles = 2};
    };
}

TEST(PlanExportDialog, RefusesABadScaleOrFileAndStaysOpen)
{
    platform::RecordingDialogService dialogs;
    app::PlanExportDialog dialog;
    ui::DialogModel& model = dialog.Dialog();
    dialog.Open("/maps/demo.pdf");
    EXPECT_EQ(model.Text(pe::kFile), "/maps/demo.pdf");
    Written written;
    model.SetCheck(pe::kScaleTyped, 1);
    for (const char* scale : {"0", "-5", "abc", "", "1:0"}) {
        SCOPED_TRACE(scale);
        dialogs.ClearCalls();
        model.SetText(pe::kScaleText, scale);
        dialog.Click(pe::kWrite, dialogs, Recorder(written));
        ASSERT_EQ(dialogs.MessageTexts().size(), 1u);
        EXPECT_NE(dialogs.MessageTexts()[0].find("縮尺"), std::string::npos);
        EXPECT_TRUE(model.IsVisible());
        EXPECT_EQ(model.Text(pe::kScaleText), scale);
    }
    model.SetText(pe::kScaleText, "45");
    for (const char* file : {"", "/maps/plan.png", "/maps/plan"}) {
        dialogs.ClearCalls();
        model.SetText(pe::kFile, file);
        dialog.Click(pe::kWrite, dialogs, Recorder(written));
        EXPECT_EQ(dialogs.MessageTexts().size(), 1u);
        EXPECT_TRUE(model.IsVisible());
    }
    EXPECT_EQ(written.calls, 0);

    // A write that fails says why and leaves the dialog open.
    dialogs.ClearCalls();
    model.SetText(pe::kFile, "/ro/plan.PDF");
    dialog.Click(pe::kWrite, dialogs, Recorder(written, true));
    ASSERT_EQ(dialogs.MessageTexts().size(), 1u);
    EXPECT_NE(dialogs.MessageTexts()[0].find("Read-only file system"), std::string::npos);
    EXPECT_TRUE(model.IsVisible());
    EXPECT_EQ(dialog.ChosenScale(), 0);
}

TEST(PlanExportDialog, WritesWithTheChosenOptionsAndCloses)
{
    platform::RecordingDialogService dialogs;
    app::PlanExportDialog dialog;
    ui::DialogModel& model = dialog.Dialog();
    dialog.Open("");
    // The chooser fills the file box; cancelling it leaves the box.
    dialogs.QueueSaveFile("/maps/plan.svg");
    dialog.Click(pe::kChoose, dialogs, {});
    dialog.Click(pe::kChoose, dialogs, {});
    EXPECT_EQ(model.Text(pe::kFile), "/maps/plan.svg");

    model.SetCheck(pe::kScale150, 1);
    model.SetCheck(pe::kA3, 1);
    model.SetCheck(pe::kLandscape, 1);
    model.SetCheck(pe::kKeys, 0);
    Written written;
    dialogs.ClearCalls();
    dialog.Click(pe::kWrite, dialogs, Recorder(written));
    ASSERT_EQ(written.calls, 1);
    EXPECT_EQ(written.path, "/maps/plan.svg");
    EXPECT_EQ(written.options.scale, 150);
    EXPECT_EQ(written.options.paper, plan::Paper::A3);
    EXPECT_EQ(written.options.orientation, plan::Orientation::Landscape);
    EXPECT_TRUE(written.options.grid);
    EXPECT_FALSE(written.options.turnoutKeys);
    EXPECT_TRUE(written.options.scenery);
    EXPECT_FALSE(model.IsVisible());
    EXPECT_EQ(dialog.ChosenScale(), 150);
    ASSERT_EQ(dialogs.MessageTexts().size(), 1u);
    EXPECT_NE(dialogs.MessageTexts()[0].find("3"), std::string::npos);

    // Opened again, it keeps what was chosen; a typed 1:N is taken.
    dialog.Open("/maps/other.pdf");
    EXPECT_EQ(model.Text(pe::kFile), "/maps/plan.svg");
    model.SetCheck(pe::kScaleTyped, 1);
    model.SetText(pe::kScaleText, " 1:45 ");
    dialog.Click(pe::kWrite, dialogs, Recorder(written));
    EXPECT_EQ(written.options.scale, 45);
    dialog.Open("");
    dialog.Click(pe::kCancel, dialogs, Recorder(written));
    EXPECT_FALSE(model.IsVisible());
    EXPECT_EQ(written.calls, 2);
}

} // namespace
