/* Zirkula: the exported C interface of libzirkula.so. */
#ifndef ZIRKULA_H
#define ZIRKULA_H

#ifdef __cplusplus
extern "C" {
#endif

#define ZIR_API __attribute__((visibility("default")))

/* The command-line program: parses argv as `zirkula --help` describes and runs it.
   Returns the process exit code. */
ZIR_API int ZirkulaMain(int argc, char** argv);

#ifdef __cplusplus
}
#endif

#endif
