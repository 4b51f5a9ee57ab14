#include "link/processor/kx43_file_list.h"

namespace quorlink::processor {

std::optional<std::vector<std::string>> parseFileList(std::string_view list, int count) {
    std::vector<std::string> names;
    size_t position = 0;
    for (int i = 0; i < count; ++i) {
        if (position >= list.size() || list[position] != '#') return std::nullopt;
        const size_t start = position + 1;
        const size_t next = list.find('#', start);
        position = next == std::string_view::npos ? list.size() : next;
        names.emplace_back(list.substr(start, position - start));
    }
    return names;
}

}  // namespace quorlink::processor
