#include "ui/qt/TemplateLayout.h"

#include <sstream>

namespace korvane {

namespace {

bool ParseEntry(const std::string& line, int values[6]) {
    std::istringstream words(line);
    for (int i = 0; i < 6; ++i) {
        if (!(words >> values[i])) {
            return false;
        }
    }
    std::string rest;
    return !(words >> rest);
}

bool IsBlankOrComment(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

int TemplateLayout::Parse(const std::string& text, std::string& error) {
    std::map<std::pair<int, int>, Rect> parsed;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (IsBlankOrComment(line)) {
            continue;
        }
        int v[6] = {};
        if (!ParseEntry(line, v)) {
            error = "line " + std::to_string(number) + ": expected TEMPLATE ID X Y WIDTH HEIGHT";
            return -1;
        }
        if (v[4] <= 0 || v[5] <= 0) {
            error = "line " + std::to_string(number) + ": the size must be positive";
            return -1;
        }
        if (!parsed.emplace(std::pair{v[0], v[1]}, Rect{v[2], v[3], v[4], v[5]}).second) {
            error = "line " + std::to_string(number) + ": template " + std::to_string(v[0]) +
                    " already places id " + std::to_string(v[1]);
            return -1;
        }
    }
    entries_ = std::move(parsed);
    return 0;
}

std::optional<Rect> TemplateLayout::ControlRect(int template_id, int control_id) const {
    const auto it = entries_.find({template_id, control_id});
    if (it == entries_.end() || control_id == 0) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<Rect> TemplateLayout::WindowRect(int template_id) const {
    const auto it = entries_.find({template_id, 0});
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return Rect{0, 0, it->second.width, it->second.height};
}

}  // namespace korvane
