// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libcurl, loaded when the first download starts rather than with the program: most runs never
// download, and libcurl brings two dozen shared libraries with it. Each function behaves as the
// libcurl function of the same name; when libcurl cannot be loaded, easy_init() returns nullptr
// (the download then fails, silently like every download failure) and the others do nothing.

#include <curl/curl.h>

namespace CurlApi {
// True when libcurl is loaded (loads it on first call; thread-safe).
bool available();
CURLcode global_init(long flags);
CURL *easy_init();
void easy_cleanup(CURL *handle);
CURLcode easy_perform(CURL *handle);
curl_slist *slist_append(curl_slist *list, const char *text);
// The multi interface, for a transfer that is driven in short steps (a stop is seen at once).
CURLM *multi_init();
CURLMcode multi_cleanup(CURLM *multi);
CURLMcode multi_add_handle(CURLM *multi, CURL *handle);
CURLMcode multi_remove_handle(CURLM *multi, CURL *handle);
CURLMcode multi_perform(CURLM *multi, int *running);
CURLMcode multi_poll(CURLM *multi, int timeoutMs);
// The result of the finished transfer of handle, or CURLE_FAILED_INIT when none is reported.
CURLcode multi_result(CURLM *multi, CURL *handle);
void slist_free_all(curl_slist *list);

using SetOpt = CURLcode (*)(CURL *, CURLoption, ...);
SetOpt setoptFunction();
// curl_easy_setopt; value must already have the type libcurl expects (long, pointer, ...).
template <typename T> CURLcode easy_setopt(CURL *handle, CURLoption option, T value)
{
    const SetOpt f = setoptFunction();
    return f ? f(handle, option, value) : CURLE_FAILED_INIT;
}
} // namespace CurlApi
