#include "operation/OperationFile.h"

#include "layout/PlacedObjects.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace operation {

namespace {

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::optional<int> Whole(std::string_view text, int least, int most)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < least || value > most) return std::nullopt;
    return value;
}

} // namespace

std::vector<std::string> OperationLines(const OperationSettings& settings, const layout::PlacedObjects& placed)
{
    std::vector<std::string> lines;
    if (!settings.Any()) return lines;
    if (settings.protect) lines.push_back("protect,1");
    for (int slot = 1; slot <= kSlots; ++slot) {
        const SlotSettings& s = settings.slots[static_cast<std::size_t>(slot - 1)];
        if (!s.Set()) continue;
        lines.push_back("slot," + std::to_string(slot) + "," + (s.autopilot ? "1" : "0") + "," +
                        std::to_string(s.cruiseKmh) + "," + (s.shuttle ? "1" : "0"));
        if (s.itinerary.empty()) continue;
        std::string line = "itinerary," + std::to_string(slot);
        for (const layout::ObjectId id : s.itinerary) {
            const int index = placed.IndexOf(id);
            if (index >= 0) line += "," + std::to_string(index);
        }
        lines.push_back(line);
    }
    // By record index, as the file lists the objects.
    std::vector<std::pair<int, int>> stops;
    for (const auto& [id, seconds] : settings.stops) {
        const int index = placed.IndexOf(id);
        if (index >= 0) stops.emplace_back(index, seconds);
    }
    std::sort(stops.begin(), stops.end());
    for (const auto& [index, seconds] : stops)
        lines.push_back("stop," + std::to_string(index) + "," + std::to_string(seconds));
    std::vector<int> termini;
    for (const layout::ObjectId id : settings.termini) {
        const int index = placed.IndexOf(id);
        if (index >= 0 && settings.stops.contains(id)) termini.push_back(index);
    }
    std::sort(termini.begin(), termini.end());
    for (const int index : termini) lines.push_back("terminus," + std::to_string(index));
    return lines;
}

OperationSettings ReadOperationLines(const std::vector<std::string>& lines, const layout::PlacedObjects& placed)
{
    OperationSettings settings;
    const auto idOf = [&placed](std::string_view text) {
        const auto index = Whole(text, 0, placed.Count() - 1);
        return index ? placed.IdOf(*index) : layout::kNoObjectId;
    };
    for (const std::string& line : lines) {
        const std::vector<std::string_view> f = Fields(line);
        if (f[0] == "protect" && f.size() == 2) {
            settings.protect = f[1] == "1";
        } else if (f[0] == "slot" && f.size() == 5) {
            const auto slot = Whole(f[1], 1, kSlots);
            const auto kmh = Whole(f[3], 0, 1000);
            if (!slot || !kmh) continue;
            SlotSettings& s = settings.slots[static_cast<std::size_t>(*slot - 1)];
            s.autopilot = f[2] == "1";
            s.cruiseKmh = *kmh;
            s.shuttle = f[4] == "1";
        } else if (f[0] == "itinerary" && f.size() >= 2) {
            const auto slot = Whole(f[1], 1, kSlots);
            if (!slot) continue;
            SlotSettings& s = settings.slots[static_cast<std::size_t>(*slot - 1)];
            s.itinerary.clear();
            for (std::size_t i = 2; i < f.size(); ++i) {
                if (const layout::ObjectId id = idOf(f[i]); id != layout::kNoObjectId) s.itinerary.push_back(id);
            }
        } else if (f[0] == "stop" && f.size() == 3) {
            const layout::ObjectId id = idOf(f[1]);
            const auto seconds = Whole(f[2], 1, 24 * 3600);
            if (id != layout::kNoObjectId && seconds) settings.stops[id] = *seconds;
        } else if (f[0] == "terminus" && f.size() == 2) {
            if (const layout::ObjectId id = idOf(f[1]); id != layout::kNoObjectId) settings.termini.insert(id);
        }
    }
    // Only a piece of a stop can make it a terminus.
    std::erase_if(settings.termini, [&settings](layout::ObjectId id) { return !settings.stops.contains(id); });
    return settings;
}

std::vector<std::string> OperationMapVehicles::OperationLines() const
{
    return operation::OperationLines(operation_.Settings(), placed_);
}

void OperationMapVehicles::SetOperationLines(const std::vector<std::string>& lines)
{
    operation_.SetSettings(ReadOperationLines(lines, placed_));
}

} // namespace operation
