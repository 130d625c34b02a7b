/* The deliverable's identity, declared once in its CMakeLists.txt and compiled in. */
#ifndef QEL_IDENTITY_H
#define QEL_IDENTITY_H

#if !defined(QEL_FACTORY_ID) || !defined(QEL_BUNDLE_IDENTIFIER) || !defined(QEL_PANE_KIND) || \
    !defined(QEL_MODEL_NAME)
#error "a deliverable is declared with qel_add_deliverable, which defines its identity"
#endif

/* The two diagnostics a deliverable may write with CFShow. */
#ifndef QEL_SHOWS_MODEL_NAME
#define QEL_SHOWS_MODEL_NAME 0
#endif
#ifndef QEL_SHOWS_ATTACH_TRACE
#define QEL_SHOWS_ATTACH_TRACE 0
#endif

enum {
    kQELShowsModelName = QEL_SHOWS_MODEL_NAME,
    kQELShowsAttachTrace = QEL_SHOWS_ATTACH_TRACE
};

/* 'qel ': the creator of every pane and the signature of every ControlID. */
enum { kQELSignature = 'qel ' };

#endif
