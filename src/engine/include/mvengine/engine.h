/* The encryption engine: encrypts, decrypts and checksums files.
 *
 * Results of dbac and eabb: 1 done, 0 declined (already encrypted / key does not open it),
 * -1 failure. On every result other than 1 no destination file is left behind.
 * Paths are UTF-8 (the platform's text); the key is the user's text, passed unchanged.
 * All functions are safe to call from several threads at once.
 */
#ifndef MVENGINE_ENGINE_H
#define MVENGINE_ENGINE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define MV_ENGINE_API __attribute__((visibility("default")))
#else
#define MV_ENGINE_API
#endif

/* Every encrypted file begins with these 71 bytes of ASCII, no terminator. */
#define MV_SIGNATURE "*-* Encrypted with Mirravelnock!, Protected 1996-1997 Braxmoor Labs *_*"
#define MV_SIGNATURE_LEN 71
/* The whole header: signature, key derivation, key check and its CRC; the contents follow. */
#define MV_HEADER_LEN 145

/* Encrypts source into destination. 1: encrypted; 0: source already begins with the
 * signature, nothing written; -1: failure. */
MV_ENGINE_API int32_t dbac(const char* source, const char* destination, const char* key);

/* Decrypts source into destination. 1: decrypted and authenticated whole; 0: encrypted, but
 * the key does not open it; -1: not an encrypted file, unreadable, damaged or truncated. */
MV_ENGINE_API int32_t eabb(const char* source, const char* destination, const char* key);

/* CRC-32 (the polynomial of zip and PNG) of the whole file; 0 when it cannot be read.
 * The second argument is reserved and always 0. */
MV_ENGINE_API int32_t eaac(const char* path, int32_t reserved);

/* Progress of a long operation: bytes done and total. Return non-zero to cancel; a cancelled
 * operation returns -1 and leaves no destination behind. */
typedef int (*mv_progress_fn)(uint64_t done, uint64_t total, void* user);

/* dbac and eabb with a progress callback (may be NULL). */
MV_ENGINE_API int32_t mv_encrypt_file(const char* source, const char* destination, const char* key,
                                      mv_progress_fn progress, void* user);
MV_ENGINE_API int32_t mv_decrypt_file(const char* source, const char* destination, const char* key,
                                      mv_progress_fn progress, void* user);

/* The same with the key given as bytes and a length, so a key may hold any byte, NUL too. */
MV_ENGINE_API int32_t mv_encrypt_file_n(const char* source, const char* destination, const void* key,
                                        size_t key_len, mv_progress_fn progress, void* user);
MV_ENGINE_API int32_t mv_decrypt_file_n(const char* source, const char* destination, const void* key,
                                        size_t key_len, mv_progress_fn progress, void* user);

/* The same on files the caller holds open, which the engine reads and writes but never
 * closes, names, flushes or removes. The source is read from its start whatever its offset;
 * the destination must be an empty regular file and is written from its offset. On any
 * result other than 1 the destination's contents are undefined and the caller discards
 * them (decrypted text among them: zero it). A source whose size or modification time
 * changes while it is read gives -1, never a short result. */
MV_ENGINE_API int32_t mv_encrypt_fd(int source_fd, int destination_fd, const void* key, size_t key_len,
                                    mv_progress_fn progress, void* user);
MV_ENGINE_API int32_t mv_decrypt_fd(int source_fd, int destination_fd, const void* key, size_t key_len,
                                    mv_progress_fn progress, void* user);

/* CRC-32 of the open regular file fd, from its start, into *crc. 1: done; -1: failure,
 * with the reason in mv_engine_last_error, so a failure is never mistaken for a CRC of 0. */
MV_ENGINE_API int32_t mv_checksum_fd(int fd, uint32_t* crc);

/* Decrypts source into the caller's buffer of capacity bytes; no file is written anywhere.
 * Results as eabb, with the same key cache; on 1, *length is the plain size. A file whose
 * plain text would not fit in capacity gives -1. On any result other than 1 the buffer holds
 * no plain text. */
MV_ENGINE_API int32_t mv_decrypt_to_memory(const char* source, const void* key, size_t key_len, void* buffer,
                                           size_t capacity, size_t* length, mv_progress_fn progress,
                                           void* user);

/* Whether key opens the encrypted file whose first header_len bytes are given, judged from the
 * header's key check alone (only the first MV_HEADER_LEN bytes are looked at): nothing after
 * the header is needed, read or decrypted. 1: the key opens it (its contents may still prove
 * damaged when decrypted); 0: it does not; -1: not an encrypted file, shorter than a header,
 * damaged or unsupported, the reason in mv_engine_last_error. Uses the same key cache. */
MV_ENGINE_API int32_t mv_check_key(const void* header, size_t header_len, const void* key, size_t key_len);

/* The checksum eaac gives of a file holding exactly these bytes. */
MV_ENGINE_API uint32_t mv_checksum_data(const void* data, size_t len);

/* Why the last call on this thread returned -1 (or 0), in plain words; never NULL. */
MV_ENGINE_API const char* mv_engine_last_error(void);

/* Forgets every derived key the engine holds (and the salt shared by new encryptions). */
MV_ENGINE_API void mv_engine_clear_keys(void);

#ifdef __cplusplus
}
#endif

#endif
