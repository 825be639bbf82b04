// The typed answers of a problem as one JSON array of strings in one column.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace results {

inline std::string EncodeAnswers(const std::vector<std::string>& answers) {
    return nlohmann::json(answers).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

inline std::vector<std::string> DecodeAnswers(const std::string& text) {
    const auto j = nlohmann::json::parse(text, nullptr, false);
    if (!j.is_array()) return {};
    std::vector<std::string> out;
    for (const auto& a : j)
        if (a.is_string()) out.push_back(a.get<std::string>());
    return out;
}

}  // namespace results
