/* Velt_b64: the Base64 record reader, as host programs bind it.
 *
 * Linux: libVelt_b64.so, loaded with dlopen("libVelt_b64.so", ...) and bound with
 * dlsym(handle, "VBGetPersDataFromBase64File"). The call convention is stdcall on 32-bit x86
 * and the platform's C convention elsewhere. */
#ifndef VELT_B64_H
#define VELT_B64_H

#if defined(__i386__)
#define VELT_B64_CALL __attribute__((stdcall))
#else
#define VELT_B64_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The status byte written on every call; every status but VB_STATUS_OK comes with a null result. */
enum {
    VB_STATUS_OK = 0,            /* the field's text; null when the field is empty */
    VB_STATUS_BAD_INDEX = 1,     /* Index is not between 1 and 7 (the file is not touched) */
    VB_STATUS_NO_FILE = 2,       /* no such file: a folder, an empty or null name, wildcards */
    VB_STATUS_EMPTY_FILE = 3,    /* the file is empty */
    VB_STATUS_BAD_LENGTH = 4,    /* the file's length is below 4 or not a multiple of 4 */
    VB_STATUS_BAD_RECORD = 5,    /* the record does not hold exactly seven separators */
    VB_STATUS_CANNOT_OPEN = 6,   /* the file exists but cannot be opened (held for writing, denied) */
    VB_STATUS_OUT_OF_MEMORY = 7, /* memory ran out */
    VB_STATUS_FAILURE = 8        /* any other failure (a null Separator, a short read) */
};

/* Returns field Index (1 to 7, lowest byte only) of the Base64 record file FileName, split at
 * the one-character text Separator, and writes the status to *Status. The text belongs to the
 * library and stays unchanged until the next call. */
const char* VELT_B64_CALL VBGetPersDataFromBase64File(unsigned int Index, const char* FileName,
                                                      const char* Separator, unsigned char* Status);

typedef const char*(VELT_B64_CALL* VBGetPersDataFromBase64File_t)(unsigned int Index, const char* FileName,
                                                                  const char* Separator,
                                                                  unsigned char* Status);

#ifdef __cplusplus
}
#endif

#endif /* VELT_B64_H */
