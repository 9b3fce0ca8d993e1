// A document reader that refuses absurd nesting. Project and exchange files
// come from anywhere, and each level of nesting costs the library's reader
// memory of its own.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

// Builds the document exactly as the library's stream reader does, but
// refuses nesting deeper than any exchange file needs: each level costs the
// reader some 80 bytes, so a file of nothing but opening brackets would take
// many times its own size in memory.
class BoundedDocumentBuilder {
public:
    static constexpr size_t kMaxDepth = 1000;

    explicit BoundedDocumentBuilder(nlohmann::json& result) : builder(result, true) {}

    bool null() { return builder.null(); }
    bool boolean(bool value) { return builder.boolean(value); }
    bool number_integer(nlohmann::json::number_integer_t value) { return builder.number_integer(value); }
    bool number_unsigned(nlohmann::json::number_unsigned_t value) { return builder.number_unsigned(value); }
    bool number_float(nlohmann::json::number_float_t value, const nlohmann::json::string_t& text) {
        return builder.number_float(value, text);
    }
    bool string(nlohmann::json::string_t& value) { return builder.string(value); }
    bool binary(nlohmann::json::binary_t& value) { return builder.binary(value); }
    bool start_object(std::size_t length) {
        Enter();
        return builder.start_object(length);
    }
    bool key(nlohmann::json::string_t& value) { return builder.key(value); }
    bool end_object() {
        --depth;
        return builder.end_object();
    }
    bool start_array(std::size_t length) {
        Enter();
        return builder.start_array(length);
    }
    bool end_array() {
        --depth;
        return builder.end_array();
    }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& error) {
        return builder.parse_error(position, token, error);
    }

private:
    void Enter() {
        if (++depth > kMaxDepth)
            throw std::length_error("the document nests deeper than " + std::to_string(kMaxDepth) + " levels");
    }

    nlohmann::detail::json_sax_dom_parser<nlohmann::json> builder;
    size_t depth = 0;
};
