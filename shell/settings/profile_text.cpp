// Parsing, look-up, update and saving of profile text.
#include "shell/settings/profile_text.h"

namespace velmoria {

namespace {

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsProfileBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsProfileBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::u16string_view TrimFront(std::u16string_view s) {
    while (!s.empty() && IsProfileBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

// The text stops at a NUL, as the platform's strings do.
std::u16string UpToNul(std::u16string_view s) {
    return std::u16string(s.substr(0, s.find(u'\0')));
}

// Names compare without regard to ASCII case only: the platform's profile functions leave
// fullwidth, Greek and Cyrillic letters as they are.
char16_t Fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsProfileBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

ProfileText ProfileText::Parse(std::u16string_view text) {
    ProfileText profile;
    if (text.empty()) {
        return profile;
    }
    profile.sections_.push_back(Section{});
    const Key* previous = nullptr;
    size_t next = 0;
    while (next < text.size()) {
        const size_t start = next;
        while (next < text.size() && text[next] != u'\n' && text[next] != u'\r') {
            ++next;
        }
        const std::u16string_view line = Trim(text.substr(start, next - start));
        while (next < text.size() && (text[next] == u'\n' || text[next] == u'\r')) {
            ++next;
        }
        if (line.empty()) {
            continue;
        }
        if (line.front() == u'[') {
            const size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos && close > 0) {
                profile.sections_.push_back(Section{UpToNul(Trim(line.substr(1, close - 1))), {}});
                previous = nullptr;
                continue;
            }
        }
        Key key;
        const size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) {
            key.name = UpToNul(line);
        } else {
            key.name = UpToNul(Trim(line.substr(0, equals)));
            key.value = UpToNul(TrimFront(line.substr(equals + 1)));
        }
        // A nameless line right after another nameless one is dropped, as the platform does.
        if (!key.name.empty() || previous == nullptr || !previous->name.empty()) {
            std::vector<Key>& keys = profile.sections_.back().keys;
            keys.push_back(std::move(key));
            previous = &keys.back();
        }
    }
    return profile;
}

std::u16string ProfileText::Serialize() const {
    std::u16string out;
    for (const Section& section : sections_) {
        if (!section.name.empty()) {
            out += u'[';
            out += section.name;
            out += u"]\r\n";
        }
        for (const Key& key : section.keys) {
            out += key.name;
            if (key.value) {
                out += u'=';
                out += *key.value;
            }
            out += u"\r\n";
        }
    }
    return out;
}

std::u16string ProfileText::Get(std::u16string_view section, std::u16string_view key,
                                size_t bufferSize) const {
    if (bufferSize == 0) {
        return {};
    }
    const std::u16string_view wantedSection = Trim(section.substr(0, section.find(u'\0')));
    const std::u16string_view wantedKey = Trim(key.substr(0, key.find(u'\0')));
    std::u16string_view value;
    for (const Section& s : sections_) {
        if (!EqualIgnoringCase(s.name, wantedSection)) {
            continue;
        }
        for (const Key& k : s.keys) {
            if (EqualIgnoringCase(k.name, wantedKey)) {
                if (k.value) {
                    value = *k.value;
                }
                break;
            }
        }
        break;  // only the first section of that name counts
    }
    // One pair of quotes goes; the closing one is dropped from what the buffer took, so a
    // value that fills the buffer exactly loses its last character instead (as on the platform).
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == u'\'' || value.front() == u'"') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::u16string result(value.substr(0, bufferSize - 1));
    if (quoted && bufferSize >= value.size() && !result.empty()) {
        result.pop_back();
    }
    return result;
}

bool ProfileText::Set(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value) {
    section = TrimFront(section.substr(0, section.find(u'\0')));
    key = TrimFront(key.substr(0, key.find(u'\0')));
    const std::u16string newValue = UpToNul(TrimFront(value));
    const std::u16string_view wantedSection = Trim(section);
    const std::u16string_view wantedKey = Trim(key);
    Section* target = nullptr;
    for (Section& s : sections_) {
        if (EqualIgnoringCase(s.name, wantedSection)) {
            target = &s;
            break;
        }
    }
    if (target == nullptr) {
        // A new section and key keep the names as given, less their leading blanks.
        sections_.push_back(Section{std::u16string(section), {}});
        target = &sections_.back();
    }
    for (Key& k : target->keys) {
        if (EqualIgnoringCase(k.name, wantedKey)) {
            if (k.value && *k.value == newValue) {
                return false;
            }
            k.value = newValue;
            return true;
        }
    }
    target->keys.push_back(Key{std::u16string(key), newValue});
    return true;
}

}  // namespace velmoria
