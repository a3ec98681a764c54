#include "rtf/destinations.h"

#include "rtf/codepage.h"
#include "rtf/reader.h"

#include <algorithm>
#include <array>

namespace tz::rtf {
namespace {

constexpr auto kHexValue = [] {
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[std::size_t(c)] = c >= '0' && c <= '9'   ? c - '0'
                            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                   : -1;
    return t;
}();

}  // namespace

void FontTable::begin() {
    entry_ = -1;
    bytes_.clear();
    name_.clear();
}

void FontTable::word(const ControlWord& w, const Token& t) {
    changed_ = true;
    const int p = t.param;
    switch (w.action) {
    case Action::Font:
        finish_name();
        entry_ = -1;
        if (t.has_param && (fonts_.count(p) || int(fonts_.size()) < kMaxFonts)) {
            entry_ = p;
            fonts_[p] = Font{};
        }
        return;
    case Action::FCharset:
        if (entry_ >= 0) fonts_[entry_].charset = p;
        return;
    case Action::Cpg:
        if (entry_ >= 0) fonts_[entry_].cpg = p;
        return;
    default:
        return;
    }
}

void FontTable::text(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c == ';')
            finish_name();
        else
            bytes_.append(c);
    }
}

void FontTable::unicode(std::int64_t v) {
    const auto f = fonts_.find(entry_);
    const int cp = f != fonts_.end() ? code_page_of(f->second) : fallback_code_page();
    decode_append(bytes_, cp, name_);  // keep the order of the name's parts
    bytes_.clear();
    if (v > 0 && v < 0x10000) name_.append(QChar(char16_t(v)));
}

void FontTable::ansi_code_page(const Token& t) {
    if (t.has_param && t.param > 0) ansi_cp_ = t.param;
    changed_ = true;
}

QString FontTable::name(int font) const {
    const auto it = fonts_.find(font);
    return it != fonts_.end() ? it->second.name : QString();
}

int FontTable::code_page_of(const Font& f) const {
    if (f.cpg > 0) return f.cpg;
    if (const int cp = code_page_of_charset(f.charset)) return cp;
    return fallback_code_page();
}

int FontTable::look_up_code_page(int font) {
    const auto it = fonts_.find(font);
    cp_ = it != fonts_.end() ? code_page_of(it->second) : fallback_code_page();
    cp_font_ = font;
    changed_ = false;
    return cp_;
}

void FontTable::finish_name() {
    if (entry_ < 0) {
        bytes_.clear();
        name_.clear();
        return;
    }
    Font& f = fonts_[entry_];
    decode_append(bytes_, code_page_of(f), name_);
    bytes_.clear();
    const QString name = name_.trimmed();
    name_.clear();
    if (!name.isEmpty()) f.name = name;
}

void ColourTable::word(const ControlWord& w, const Token& t) {
    const int v = std::clamp(t.param, 0, 255);
    switch (w.action) {
    case Action::Red: red_ = v; break;
    case Action::Green: green_ = v; break;
    case Action::Blue: blue_ = v; break;
    default: return;
    }
    set_ = true;
}

void ColourTable::text(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c != ';') continue;
        if (int(colours_.size()) < kMaxColours)
            colours_.push_back(set_ ? std::optional<QRgb>(qRgb(red_, green_, blue_)) : std::nullopt);
        red_ = green_ = blue_ = 0;
        set_ = false;
    }
}

void PictureData::begin(std::size_t depth) {
    pic_ = Picture{};
    nibble_ = -1;
    depth_ = depth;
}

void PictureData::word(const ControlWord& w, const Token& t) {
    const int p = t.param;
    switch (w.action) {
    case Action::PictureFormat: pic_.kind = Picture::Kind(w.arg); return;
    case Action::PicW: pic_.pic_w = std::max(p, 0); return;
    case Action::PicH: pic_.pic_h = std::max(p, 0); return;
    case Action::PicWGoal: pic_.goal_w = std::max(p, 0); return;
    case Action::PicHGoal: pic_.goal_h = std::max(p, 0); return;
    case Action::PicScaleX: pic_.scale_x = std::clamp(p, 1, 10000); return;
    case Action::PicScaleY: pic_.scale_y = std::clamp(p, 1, 10000); return;
    default: return;
    }
}

void PictureData::hex(QByteArrayView bytes) {
    for (unsigned char c : bytes) {
        const int v = kHexValue[c];
        if (v < 0) continue;
        if (nibble_ < 0) {
            nibble_ = v;
        } else {
            pic_.data.append(char(nibble_ * 16 + v));
            nibble_ = -1;
        }
    }
}

Picture PictureData::take() {
    depth_ = 0;
    nibble_ = -1;
    return std::exchange(pic_, Picture{});
}

}  // namespace tz::rtf
