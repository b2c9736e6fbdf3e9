#include "storage/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string> splitPatterns(std::string_view patterns) {
    std::vector<std::string> result;
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(';'), patterns.size());
        std::string_view pattern = patterns.substr(0, end);
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
        const std::size_t first = pattern.find_first_not_of(' ');
        if (first == std::string_view::npos)
            continue;
        pattern = pattern.substr(first, pattern.find_last_not_of(' ') - first + 1);
        result.emplace_back(pattern);
    }
    return result;
}

// Wildcard matching without recursion: on a mismatch the last '*' takes one more character.
bool wildcardMatch(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    const bool withoutExtension = name.find('.') == std::string_view::npos;
    if (pattern.ends_with('.'))
        return withoutExtension && wildcardMatch(name, pattern.substr(0, pattern.size() - 1));
    if (pattern.ends_with(".*") && withoutExtension)
        return wildcardMatch(name, pattern.substr(0, pattern.size() - 2));
    return wildcardMatch(name, pattern);
}

bool matchesAny(std::string_view name, const std::vector<std::string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(), [name](const std::string& pattern) {
        return matchesPattern(name, pattern);
    });
}

bool alphabetical(const std::string& left, const std::string& right) {
    const auto order = std::lexicographical_compare_three_way(
        left.begin(), left.end(), right.begin(), right.end(),
        [](char a, char b) { return folded(a) <=> folded(b); });
    return order != 0 ? order < 0 : left < right;
}

} // namespace

bool matchesPatterns(std::string_view name, std::string_view patterns) {
    return matchesAny(name, splitPatterns(patterns));
}

FileList::FileList(std::string folder, std::string_view patterns)
    : folder_(std::move(folder)), patterns_(splitPatterns(patterns)) {
    refresh();
}

void FileList::setPattern(std::string_view patterns) {
    patterns_ = splitPatterns(patterns);
    refresh();
}

void FileList::refresh() {
    namespace fs = std::filesystem;
    const std::string selectedName = name(selected_);
    names_.clear();
    std::error_code error;
    fs::directory_iterator entries(folder_, fs::directory_options::skip_permission_denied, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string fileName = entries->path().filename().string();
        std::error_code typeError;
        if (!fileName.starts_with('.') && entries->is_regular_file(typeError) &&
            matchesAny(fileName, patterns_))
            names_.push_back(fileName);
    }
    std::sort(names_.begin(), names_.end(), alphabetical);
    const auto kept = std::find(names_.begin(), names_.end(), selectedName);
    selected_ =
        selectedName.empty() || kept == names_.end() ? -1 : static_cast<int>(kept - names_.begin());
}

std::string FileList::name(int index) const {
    if (index < 0 || index >= count())
        return {};
    return names_[static_cast<std::size_t>(index)];
}

void FileList::select(int index) {
    selected_ = index >= 0 && index < count() ? index : -1;
}
