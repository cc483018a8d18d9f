// SVG rendering through librsvg onto a cairo image surface, converted to straight alpha.
#include "tools/SvgRender.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <algorithm>

namespace art {

ArtImage renderSvg(const std::string& svg, int width, int height, const std::string& where) {
    GError* error = nullptr;
    RsvgHandle* handle =
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
    if (handle == nullptr) {
        std::string message = error != nullptr ? error->message : "unknown error";
        if (error != nullptr)
            g_error_free(error);
        throw ArtError(where + ": SVG does not parse: " + message);
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    RsvgRectangle viewport{0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
    gboolean ok = rsvg_handle_render_document(handle, cr, &viewport, &error);
    cairo_destroy(cr);
    g_object_unref(handle);
    if (!ok) {
        std::string message = error != nullptr ? error->message : "unknown error";
        if (error != nullptr)
            g_error_free(error);
        cairo_surface_destroy(surface);
        throw ArtError(where + ": SVG does not render: " + message);
    }
    cairo_surface_flush(surface);
    ArtImage out(width, height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            Rgba& d = out.at(x, y);
            d.a = static_cast<uint8_t>(a);
            if (a == 0)
                continue;
            // Cairo stores premultiplied colour; the game blends straight alpha.
            auto un = [a](uint32_t c) {
                return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
            };
            d.r = un((p >> 16) & 255);
            d.g = un((p >> 8) & 255);
            d.b = un(p & 255);
        }
    }
    cairo_surface_destroy(surface);
    return out;
}

std::string svgDocument(int width, int height, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
           std::to_string(width) + " " + std::to_string(height) + "\">" + body + "</svg>";
}

std::string xmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace art
