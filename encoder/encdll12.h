/* encdll12: builds a compressed, CRC-protected download image for the
 * receivers from an encoder script.
 *
 *   int EncodeDDF(const char* CFGFile, const char* FILENAME);
 *
 * CFGFile names the script (header list with id, e_id, ver; one data list per
 * file with file, type, compression, address); FILENAME names the image to
 * write. Returns 1 when the image was written and 0 otherwise; the library
 * prints its own messages on standard output, and after a failed run no image
 * file is left behind. One run at a time per process: the library keeps its
 * state in process-wide tables.
 *
 * Link with the installed library, for example
 *   cc prog.c -I<prefix>/include -L<prefix>/lib -l:encdll12.so -Wl,-rpath,<prefix>/lib
 * or load it with dlopen() and look up "EncodeDDF". */
#ifndef ENCDLL12_H
#define ENCDLL12_H

#ifdef __cplusplus
extern "C" {
#endif

int EncodeDDF(const char* CFGFile, const char* FILENAME);

#ifdef __cplusplus
}
#endif

#endif /* ENCDLL12_H */
