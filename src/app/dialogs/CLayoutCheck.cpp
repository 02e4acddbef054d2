#include "app/dialogs/CLayoutCheck.h"

#include "math/NumberText.h"
#include "platform/Translation.h"
#include "ui/LayoutCheckTemplate.h"

#include <cmath>

namespace app {

namespace {

namespace ck = ui::check;

std::string Number(float value)
{
    return math::FormatFixedShown(value, 3);
}

std::string ObjectList(const std::vector<int>& objects)
{
    std::string text;
    for (const int index : objects)
        text += (text.empty() ? "" : ", ") + std::to_string(index);
    return text;
}

// A positive number typed into a box, or the fallback.
float PositiveOr(const std::string& text, float fallback)
{
    const float value = math::ParseFloat(text);
    return std::isfinite(value) && value > 0 ? value : fallback;
}

} // namespace

CLayoutCheck::CLayoutCheck() : dialog_(ui::LayoutCheckTemplate())
{
    SetSettings(settings_);
}

std::string CLayoutCheck::KindText(layout::FindingKind kind)
{
    switch (kind) {
    case layout::FindingKind::OpenEnd:
        return "開いた端";
    case layout::FindingKind::NearMiss:
        return "継ぎ目のずれ";
    case layout::FindingKind::Overlap:
        return "重なり";
    case layout::FindingKind::Grade:
        return "急勾配";
    case layout::FindingKind::Clearance:
        return "建築限界不足";
    case layout::FindingKind::TurnoutWithoutKey:
        return "キーなしポイント";
    }
    return "";
}

void CLayoutCheck::SetSettings(const layout::LayoutCheckSettings& settings)
{
    const layout::LayoutCheckSettings defaults;
    auto positiveOr = [](float value, float fallback) {
        return std::isfinite(value) && value > 0 ? value : fallback;
    };
    settings_ = {positiveOr(settings.maxGradePercent, defaults.maxGradePercent),
                 positiveOr(settings.minClearance, defaults.minClearance)};
    // Shown as kept, so that a box read back gives the very same threshold.
    dialog_.SetText(ck::kGrade, math::FormatShortest(settings_.maxGradePercent));
    dialog_.SetText(ck::kClearance, math::FormatShortest(settings_.minClearance));
}

layout::LayoutCheckSettings CLayoutCheck::BoxSettings() const
{
    return {PositiveOr(dialog_.Text(ck::kGrade), settings_.maxGradePercent),
            PositiveOr(dialog_.Text(ck::kClearance), settings_.minClearance)};
}

void CLayoutCheck::Run(const layout::CLayout& layout)
{
    settings_ = BoxSettings();
    result_ = layout::CheckLayout(layout, settings_);
    dialog_.SetText(ck::kMendReport, "");
    Fill();
    dialog_.SetVisible(true);
}

void CLayoutCheck::Fill()
{
    dialog_.EditList(ck::kFindings, [&](ui::ListView& list) {
        list.DeleteAllRows();
        for (std::size_t i = 0; i < result_.findings.size(); ++i) {
            const layout::LayoutFinding& f = result_.findings[i];
            std::string value = Number(f.value);
            if (f.kind == layout::FindingKind::Grade) value += "%";
            if (f.kind == layout::FindingKind::TurnoutWithoutKey)
                value = std::to_string(static_cast<int>(f.value) + 1);
            list.AppendRow({KindText(f.kind), ObjectList(f.objects), value}, static_cast<std::int64_t>(i));
        }
    });
    // Composed of six texts of the catalogue, each in the user's language.
    std::string counts;
    for (int kind = 0; kind < layout::kFindingKindCount; ++kind) {
        counts += (counts.empty() ? "" : "  ") + platform::Tr(KindText(static_cast<layout::FindingKind>(kind))) + " " +
                  std::to_string(result_.counts[static_cast<std::size_t>(kind)]);
    }
    dialog_.SetText(ck::kCounts, counts);
}

const layout::LayoutFinding* CLayoutCheck::FindingOfRow(int row) const
{
    const ui::ListView& list = dialog_.List(ck::kFindings);
    if (row < 0 || row >= list.RowCount()) return nullptr;
    const std::int64_t index = list.ItemData(row);
    if (index < 0 || index >= static_cast<std::int64_t>(result_.findings.size())) return nullptr;
    return &result_.findings[static_cast<std::size_t>(index)];
}

std::span<const layout::LayoutFinding> CLayoutCheck::Markers() const
{
    if (!dialog_.IsVisible()) return {};
    return result_.findings;
}

void CLayoutCheck::ShowMendReport(const layout::JointMending& mending)
{
    std::string text = std::to_string(mending.moves.size()) + "個のオブジェクトを動かしました。";
    if (!mending.notMended.empty()) {
        text += "  合わせなかった継ぎ目:";
        for (const layout::LayoutFinding& f : mending.notMended)
            text += " [" + ObjectList(f.objects) + "]";
    }
    dialog_.SetText(ck::kMendReport, text);
}

} // namespace app
