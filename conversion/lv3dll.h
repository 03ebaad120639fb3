/* The conversion library LV3DLL: its exported entries, with C linkage.
 *
 * Every entry returns 1 on success and 0 on failure; after a 0,
 * LV3LastError() gives the reason, naming the file concerned. Paths are
 * NUL-terminated byte strings. A failed conversion leaves its destination file
 * as it was. The entries are not re-entrant: calls must not overlap. */
#ifndef LUMORA_LV3DLL_H
#define LUMORA_LV3DLL_H

#include <stdint.h>

#if defined(LV3DLL_BUILDING)
#define LV3DLL_EXPORT __attribute__((visibility("default")))
#else
#define LV3DLL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Interchange text file -> channel-data file (".dnf"), replaced atomically. */
LV3DLL_EXPORT int DnfToV3Dnf(const char* textPath, const char* dnfPath);

/* Channel-data file (".dnf") -> interchange text file. */
LV3DLL_EXPORT int V3DnfToDnf(const char* dnfPath, const char* textPath);

/* Raw receiver image -> interchange text file. The image must have been made
 * for the receiver type given (menu type, flash type, ant32 0: 16 antennas,
 * 1: 32 antennas). */
LV3DLL_EXPORT int RawToDnf(const char* rawPath, const char* textPath, uint8_t menuType, uint8_t flashType,
                           uint8_t ant32);

/* Interchange text file -> raw receiver image for the receiver type given. */
LV3DLL_EXPORT int DnfToRaw(const char* textPath, const char* rawPath, uint8_t menuType, uint8_t flashType,
                           uint8_t ant32);

/* Interchange text file -> download image (".ddf") holding the raw image,
 * with ID and ID end `systemId`. */
LV3DLL_EXPORT int DnfToDDF(const char* textPath, const char* ddfPath, uint8_t menuType, uint8_t flashType,
                           uint8_t ant32, uint32_t systemId);

/* Serial transfers. Port index n is the device "/dev/ttyS<n>" unless the
 * environment variable LV3DLL_PORT<n>, or a line "PORT<n>=<device>" of the
 * file "LV3DLL.ports" beside the library, names another one. Speed code
 * 0 = 115200, 1 = 57600, 2 = 38400, 3 = 19200, 4 = 9600 bit/s. Protocol:
 * docs/serial-protocol.md. */

/* Called during a transfer with the bytes done and the bytes in all, also
 * while the library waits for the receiver; a result of 0 stops the
 * transfer. Runs on the thread that called the transfer entry. */
typedef int (*LV3ProgressCallback)(uint32_t done, uint32_t total, void* context);

/* Registers the progress callback of later transfers (null: none). */
LV3DLL_EXPORT void LV3SetProgressCallback(LV3ProgressCallback callback, void* context);

/* Receives the receiver's raw image into `rawPath`. The file exists afterwards
 * only when the whole image was received: a failed or stopped upload leaves
 * none (an older file of that name is removed). */
LV3DLL_EXPORT int UploadData(uint8_t port, uint8_t speedCode, const char* rawPath);

/* Sends the download image `imagePath` to the receiver; succeeds when the
 * receiver has checked and accepted it. */
LV3DLL_EXPORT int DownloadData(uint8_t port, uint8_t speedCode, const char* imagePath);

/* The reason of the last failure of an entry on this thread; empty after a
 * success. The text stays valid until the next call of an entry. */
LV3DLL_EXPORT const char* LV3LastError(void);

#ifdef __cplusplus
}
#endif

#endif
