/* gtk_print_dialog_probe: GTK's own print dialog (GtkPrintUnixDialog) opened on one CUPS queue,
 * the dialog pdedialog is measured against in dialog_first_frame.py. It quits at its first frame
 * and writes on standard error, as "stamp NAME NANOSECONDS" lines (CLOCK_MONOTONIC, the clock of
 * Python's time.monotonic_ns), when each of these happened:
 *   main               main was entered
 *   probe-first-frame  the dialog window was drawn for the first time after it was mapped
 *                      (first_frame_stamp, when loaded, stamps the same frame as first-frame)
 *   queue-listed       the printer list holds the queue (GTK's CUPS backend lists printers
 *                      asynchronously, after the window is shown)
 *   queue-ready        the dialog selected the queue, its details (the PPD's options) read
 *   ready-frame        the first frame drawn after queue-ready
 *
 * Usage: gtk_print_dialog_probe QUEUE [--until frame|ready]
 *   frame (default)  quits at probe-first-frame
 *   ready            quits at ready-frame: the first frame that shows what pdedialog's first
 *                    frame shows, the queue chosen with its options
 * The queue is chosen by name through the dialog's print settings, as an application that
 * remembers its printer does. Exit status 0; 1 when the display cannot be opened or the queue
 * was not ready within 30 seconds; 2 for a wrong command line. */
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <stdio.h>
#include <string.h>
#include <time.h>

enum { kTimeLimitSeconds = 30 };

typedef struct {
    const char *queue;
    gboolean until_ready;
    gboolean mapped;
    gboolean drawn;
    gboolean listed;
    gboolean ready;
    int status;
} Probe;

/* Writes one stamp of the monotonic clock under NAME. */
static void stamp(const char *name) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    fprintf(stderr, "stamp %s %lld\n", name, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
}

/* Whether the row holds a GtkPrinter named as the queue; finds the printer column by its type,
 * the dialog's list store being its own business. */
static gboolean row_is_queue(GtkTreeModel *model, GtkTreeIter *iter, const char *queue) {
    gboolean found = FALSE;
    for (gint column = 0; column < gtk_tree_model_get_n_columns(model) && !found; ++column) {
        if (!g_type_is_a(gtk_tree_model_get_column_type(model, column), G_TYPE_OBJECT)) continue;
        GObject *object = NULL;
        gtk_tree_model_get(model, iter, column, &object, -1);
        if (object != NULL && GTK_IS_PRINTER(object))
            found = strcmp(gtk_printer_get_name(GTK_PRINTER(object)), queue) == 0;
        if (object != NULL) g_object_unref(object);
    }
    return found;
}

/* row-inserted and row-changed of the printer list: stamps queue-listed once. */
static void on_row(GtkTreeModel *model, GtkTreePath *path, GtkTreeIter *iter, Probe *probe) {
    (void)path;
    if (probe->listed || !row_is_queue(model, iter, probe->queue)) return;
    probe->listed = TRUE;
    stamp("queue-listed");
}

/* Connects on_row to the model of every tree view below WIDGET (the dialog has one: its
 * printer list); internal children included. */
static void watch_printer_list(GtkWidget *widget, gpointer data) {
    if (GTK_IS_TREE_VIEW(widget)) {
        GtkTreeModel *model = gtk_tree_view_get_model(GTK_TREE_VIEW(widget));
        if (model != NULL) {
            g_signal_connect(model, "row-inserted", G_CALLBACK(on_row), data);
            g_signal_connect(model, "row-changed", G_CALLBACK(on_row), data);
        }
    }
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), watch_printer_list, data);
}

/* The dialog notifies selected-printer once a printer is chosen and its details are read. */
static void on_selected_printer(GtkPrintUnixDialog *dialog, GParamSpec *property, Probe *probe) {
    (void)property;
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(dialog);
    if (probe->ready || printer == NULL || strcmp(gtk_printer_get_name(printer), probe->queue) != 0) return;
    probe->ready = TRUE;
    stamp("queue-ready");
    gtk_widget_queue_draw(GTK_WIDGET(dialog));
}

static void on_map(GtkWidget *dialog, Probe *probe) {
    (void)dialog;
    probe->mapped = TRUE;
}

/* After the whole window was drawn: the frames that count. */
static gboolean on_draw(GtkWidget *dialog, cairo_t *context, Probe *probe) {
    (void)dialog;
    (void)context;
    if (!probe->mapped) return FALSE;
    if (!probe->drawn) {
        probe->drawn = TRUE;
        stamp("probe-first-frame");
        if (!probe->until_ready) gtk_main_quit();
    } else if (probe->until_ready && probe->ready) {
        stamp("ready-frame");
        gtk_main_quit();
    }
    return FALSE;
}

static gboolean on_time_limit(gpointer data) {
    Probe *probe = data;
    fprintf(stderr, "gtk_print_dialog_probe: queue %s not ready within %d s\n", probe->queue, kTimeLimitSeconds);
    probe->status = 1;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char **argv) {
    stamp("main");
    Probe probe = {0};
    if (argc == 2 || (argc == 4 && strcmp(argv[2], "--until") == 0 &&
                      (strcmp(argv[3], "frame") == 0 || strcmp(argv[3], "ready") == 0))) {
        probe.queue = argv[1];
        probe.until_ready = argc == 4 && strcmp(argv[3], "ready") == 0;
    } else {
        fprintf(stderr, "usage: gtk_print_dialog_probe QUEUE [--until frame|ready]\n");
        return 2;
    }
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "gtk_print_dialog_probe: cannot open the display (is DISPLAY set?)\n");
        return 1;
    }

    GtkPrintSettings *settings = gtk_print_settings_new();
    gtk_print_settings_set_printer(settings, probe.queue);
    GtkWidget *dialog = gtk_print_unix_dialog_new("Print", NULL);
    gtk_print_unix_dialog_set_settings(GTK_PRINT_UNIX_DIALOG(dialog), settings);
    g_object_unref(settings);
    watch_printer_list(dialog, &probe);
    g_signal_connect(dialog, "notify::selected-printer", G_CALLBACK(on_selected_printer), &probe);
    g_signal_connect(dialog, "map", G_CALLBACK(on_map), &probe);
    g_signal_connect_after(dialog, "draw", G_CALLBACK(on_draw), &probe);
    guint limit = g_timeout_add_seconds(kTimeLimitSeconds, on_time_limit, &probe);

    gtk_widget_show(dialog);
    gtk_main();
    if (probe.status == 0) g_source_remove(limit);
    gtk_widget_destroy(dialog);
    return probe.status;
}
