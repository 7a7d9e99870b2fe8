#include "form/drawing/image.h"

#include <algorithm>

#include "form/drawing/exception.h"
#include "form/drawing/graphics.h"
#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "image/jpeg/jpeg_image.h"
#include "platform/resources.h"

namespace zel::form {

namespace {

int scaled_side(int side, double factor) {
    return std::max(1, static_cast<int>(side * factor));
}

} // namespace

Image::Image() {
    make_decoder(format_png);
}

Image::Image(int format) {
    make_decoder(format);
}

Image::~Image() = default;

void Image::make_decoder(int format) {
    format_ = format;
    if (format == format_jpg) {
        image_ = std::make_unique<jpeg_image>();
    } else if (format == format_png) {
        image_ = std::make_unique<CxImage>(CXIMAGE_FORMAT_PNG);
    } else {
        image_ = std::make_unique<CxImage>(CXIMAGE_FORMAT_UNKNOWN);
    }
}

void Image::check_format(const wchar_t* message) const {
    if (format_ != format_png && format_ != format_jpg) {
        throw Exception(message);
    }
}

std::shared_ptr<Image> Image::from_png_bytes(const std::uint8_t* bytes, std::size_t count, float sx, float sy) {
    auto result = std::make_shared<Image>();
    if (!bytes || count == 0) {
        return result;
    }
    image_memory_stream stream(bytes, count);
    if (!result->image_->Decode(&stream, CXIMAGE_FORMAT_PNG) || !result->image_->is_valid()) {
        result->image_ = std::make_unique<CxImage>(CXIMAGE_FORMAT_PNG); // a half-decoded picture is no picture
        return result;
    }
    const double s = std::min(sx, sy);
    result->resize(scaled_side(result->width(), s), scaled_side(result->height(), s));
    return result;
}

std::shared_ptr<Image> Image::construct_scaled(int id, const std::wstring& path, int format, float sx, float sy,
                                               bool keep_aspect) {
    auto result = std::make_shared<Image>();
    result->init_scaled(id, path, format, sx, sy, keep_aspect);
    return result;
}

void Image::init(int id, const std::wstring& path, int format, int width, int height) {
    if (format != format_png && format != format_jpg) {
        throw Exception(L"Image::init::не поддерживаемый формат");
    }
    make_decoder(format);
    HMODULE module = path.empty() ? GetModuleHandleW(nullptr) : LoadLibraryW(path.c_str());
    HRSRC resource = module ? FindResourceW(module, MAKEINTRESOURCEW(static_cast<unsigned>(id)),
                                            format == format_png ? L"PNG" : L"JPG")
                            : nullptr;
    if (!resource) {
        return;
    }
    const DWORD count = SizeofResource(module, resource);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
    if (!bytes || count == 0) {
        return;
    }
    image_memory_stream stream(bytes, count);
    if (!image_->Decode(&stream, static_cast<std::uint32_t>(format)) || !image_->is_valid()) {
        make_decoder(format);
        return;
    }
    if (width != 0 && height != 0 && (width != this->width() || height != this->height())) {
        resize(width, height);
    }
}

void Image::init_scaled(int id, const std::wstring& path, int format, float sx, float sy, bool keep_aspect) {
    init(id, path, format, 0, 0);
    if (empty()) {
        return;
    }
    if (keep_aspect) {
        const double s = std::min(sx, sy);
        if (1.0 - s > 0.01) {
            resize(scaled_side(width(), s), scaled_side(height(), s));
        }
    } else {
        resize(scaled_side(width(), sx), scaled_side(height(), sy));
    }
}

void Image::assign(const Image& other) {
    make_decoder(other.format_);
    if (other.image_->is_valid()) {
        image_->copy_from(*other.image_, true, true, true);
    }
}

void Image::draw(Graphics& g, int x, int y) {
    check_format(L"Image::draw(Graphics *_gr, int _x, int _y)::не поддерживаемый формат");
    if (!empty()) {
        image_->draw_to_dc(g.dc(), x, y, -1, -1, false);
    }
}

void Image::draw(Graphics& g, int x, int y, int width, int height) {
    check_format(L"Image::draw(Graphics *_gr, int _x, int _y, int _w, int _h)::не поддерживаемый формат");
    if (!empty() && width > 0 && height > 0) {
        image_->draw_to_dc(g.dc(), x, y, width, height, false);
    }
}

void Image::tile_in_rect(Graphics& g, const rect& r) {
    if (!empty()) {
        const RECT area = r.to_RECT();
        image_->tile_to_dc(g.dc(), &area);
    }
}

void Image::resize(int width, int height) {
    check_format(L"Image::resize::не поддерживаемый формат");
    if (!empty()) {
        image_->rescale(width, height, 1);
    }
}

int Image::width() const {
    check_format(L"Image::width::не поддерживаемый формат");
    return image_->is_valid() ? static_cast<int>(image_->get_width()) : 0;
}

int Image::height() const {
    check_format(L"Image::height::не поддерживаемый формат");
    return image_->is_valid() ? static_cast<int>(image_->get_height()) : 0;
}

bool Image::empty() const {
    return !image_ || !image_->is_valid() || image_->get_width() == 0 || image_->get_height() == 0;
}

} // namespace zel::form
