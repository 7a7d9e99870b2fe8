#include "form/drawing/skin_images.h"

#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/resources.h"

namespace zel::form {

namespace {

struct skin_library {
    const wchar_t* path;
    int first;
    int last;
};

constexpr skin_library libraries[] = {
    {L"/skin/skin_black_button.dll", 1001, 1066},  {L"/skin/skin_black_main.dll", 5001, 5026},
    {L"/skin/skin_black_toolbar.dll", 8001, 8018}, {L"/skin/skin_black_order.dll", 7001, 7069},
    {L"/skin/skin_black_help.dll", 2004, 2212},
};

} // namespace

skin_images::skin_images(int width, int height, int dpi) : dpi_(dpi), width_(width), height_(height) {
    const std::wstring folder = app_folder();
    for (const skin_library& library : libraries) {
        for (int id = library.first; id <= library.last; ++id) {
            paths_[id] = folder + library.path;
        }
    }
    std::map<std::wstring, HMODULE> modules;
    for (const auto& [id, path] : paths_) {
        std::vector<std::uint8_t>& bytes = bytes_[id];
        auto [it, added] = modules.try_emplace(path, nullptr);
        if (added) {
            // Loaded once and never freed: the bytes are copied out, the module only costs its memory.
            it->second = LoadLibraryW(path.c_str());
            if (!it->second) {
                log(logger::error, L"skin_images::skin_images: no skin library " + path);
            }
        }
        HMODULE module = it->second;
        if (!module) {
            continue;
        }
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(static_cast<unsigned>(id)), L"PNG");
        const DWORD count = resource ? SizeofResource(module, resource) : 0;
        const auto* data =
            resource ? static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource))) : nullptr;
        if (!data || count == 0) {
            log(logger::error, L"skin_images::skin_images: no picture " + itow_wstring(id) + L" in " + path);
            continue;
        }
        bytes.assign(data, data + count);
    }
}

float skin_images::scale() const {
    return (width_ == 800 && height_ == 480) || dpi_ >= 180 ? 1.0f : 0.5f;
}

bool skin_images::first_report(int id) const {
    std::lock_guard<std::mutex> lock(reported_lock_);
    return reported_.insert(id).second;
}

std::shared_ptr<Image> skin_images::get_image_by_id(int id) const {
    log(logger::info, L"skin_images::get_image_by_id: " + itow_wstring(id));
    try {
        auto it = bytes_.find(id);
        if (it == bytes_.end()) {
            if (first_report(id)) {
                log(logger::error, L"skin_images::get_image_by_id: no picture has the id " + itow_wstring(id));
            }
            return std::make_shared<Image>();
        }
        if (it->second.empty()) {
            // Its library or picture was reported when the table was built.
            return std::make_shared<Image>();
        }
        const float s = scale();
        auto image = Image::from_png_bytes(it->second.data(), it->second.size(), s, s);
        if (image->empty() && first_report(id)) {
            log(logger::error, L"skin_images::get_image_by_id: picture " + itow_wstring(id) + L" does not decode");
        }
        return image;
    } catch (...) {
        log(logger::error, L"skin_images::skin_images");
        return std::make_shared<Image>();
    }
}

} // namespace zel::form
