/* What the probe pane shows tests beyond the PDE interface. */
#ifndef PROBE_HOOKS_H
#define PROBE_HOOKS_H

#ifdef __cplusplus
extern "C" {
#endif
__attribute__((visibility("default"))) int QELProbeRuleRunCount(void);
#ifdef __cplusplus
}
#endif

#endif
