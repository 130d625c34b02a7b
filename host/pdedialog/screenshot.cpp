// Rendering a widget into a cairo image surface and writing it as PNG.
#include "screenshot.h"

#include <memory>
#include <string>

namespace pdedialog {
namespace {

struct SurfaceRelease {
    void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t *context) const { cairo_destroy(context); }
};

// Far beyond any screen; a 32000-pixel square would need 4 GB.
constexpr int kLargestScreenshotSide = 16384;

}  // namespace

// GTK draws the widget tree itself, so the picture does not depend on what the X server keeps
// of an obscured or unmapped window.
bool saveScreenshot(GtkWidget *widget, const std::string &path, std::string &error) {
    // A change just before (a control enabled, a page re-fitted) may have queued a new layout that
    // the frame clock has not run yet; GTK draws nothing for a widget still waiting for one.
    if (GTK_IS_CONTAINER(widget)) gtk_container_check_resize(GTK_CONTAINER(widget));
    int width = gtk_widget_get_allocated_width(widget);
    int height = gtk_widget_get_allocated_height(widget);
    if (!gtk_widget_get_realized(widget) || width <= 1 || height <= 1) {
        error = "the window is not drawn yet";
        return false;
    }
    if (width > kLargestScreenshotSide || height > kLargestScreenshotSide) {
        error = "the window is " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels; a screenshot is at most " + std::to_string(kLargestScreenshotSide) + " per side";
        return false;
    }
    std::unique_ptr<cairo_surface_t, SurfaceRelease> surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    std::unique_ptr<cairo_t, ContextRelease> context(cairo_create(surface.get()));
    gtk_widget_draw(widget, context.get());
    cairo_surface_flush(surface.get());
    cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

}  // namespace pdedialog
