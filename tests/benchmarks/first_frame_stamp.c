/* first_frame_stamp: a GTK module (loaded through GTK_MODULES) that writes on standard error
 * "stamp first-frame NANOSECONDS" (CLOCK_MONOTONIC) when the first top-level window a program
 * maps is drawn for the first time. dialog_first_frame.py loads it into pdedialog and into
 * gtk_print_dialog_probe alike, so that both first frames are taken the same way and without the
 * time a program needs to notice its first frame and exit. */
#include <gtk/gtk.h>

#include <stdio.h>
#include <time.h>

static gboolean stamped = FALSE;

static gboolean on_draw(GtkWidget *window, cairo_t *context, gpointer data) {
    (void)window;
    (void)context;
    (void)data;
    if (!stamped) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        stamped = TRUE;
        fprintf(stderr, "stamp first-frame %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    }
    return FALSE;
}

/* Emission hook of "map": the first top-level window gets the draw handler (after its own, so
 * after the whole window was drawn); then the hook goes. */
static gboolean on_map(GSignalInvocationHint *hint, guint count, const GValue *values, gpointer data) {
    (void)hint;
    (void)count;
    (void)data;
    GObject *widget = g_value_get_object(&values[0]);
    if (!GTK_IS_WINDOW(widget) || gtk_window_get_window_type(GTK_WINDOW(widget)) != GTK_WINDOW_TOPLEVEL) return TRUE;
    g_signal_connect_after(widget, "draw", G_CALLBACK(on_draw), NULL);
    return FALSE;
}

G_MODULE_EXPORT void gtk_module_init(gint *argc, gchar ***argv);

/* Called by gtk_init for every module GTK_MODULES names. */
G_MODULE_EXPORT void gtk_module_init(gint *argc, gchar ***argv) {
    (void)argc;
    (void)argv;
    /* The signals are there once the class is; the reference is kept for the program's life. */
    g_type_class_ref(GTK_TYPE_WIDGET);
    g_signal_add_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), 0, on_map, NULL, NULL);
}
