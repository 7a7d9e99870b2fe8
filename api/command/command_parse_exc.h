// The failure of a received text that can't be taken apart. Texts are UTF-8.
#pragma once

#include <stdexcept>
#include <string>

namespace zel_api::command {

class command_parse_exc : public std::runtime_error {
public:
    explicit command_parse_exc(const std::string& text) : std::runtime_error(text) {}

    // The braces of a packet's text don't balance.
    static constexpr const char* incorrect_data = "Error: incorrect json data";
    // An object's first member isn't named by the record's wire name.
    static constexpr const char* wrong_command = "Ошибка парсера: Неверные данные.";
    // Reading the text itself failed.
    static constexpr const char* broken_structure = "Ошибка парсера: Нарушена структура Json.";
};

} // namespace zel_api::command
