// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "curlapi.h"

#include "common/platform.h"

#include <mutex>

namespace {
struct Api {
    CURLcode (*global_init)(long) = nullptr;
    CURL *(*easy_init)() = nullptr;
    void (*easy_cleanup)(CURL *) = nullptr;
    CURLcode (*easy_perform)(CURL *) = nullptr;
    CurlApi::SetOpt easy_setopt = nullptr;
    curl_slist *(*slist_append)(curl_slist *, const char *) = nullptr;
    void (*slist_free_all)(curl_slist *) = nullptr;
    CURLM *(*multi_init)() = nullptr;
    CURLMcode (*multi_cleanup)(CURLM *) = nullptr;
    CURLMcode (*multi_add_handle)(CURLM *, CURL *) = nullptr;
    CURLMcode (*multi_remove_handle)(CURLM *, CURL *) = nullptr;
    CURLMcode (*multi_perform)(CURLM *, int *) = nullptr;
    CURLMcode (*multi_poll)(CURLM *, curl_waitfd[], unsigned int, int, int *) = nullptr;
    CURLMsg *(*multi_info_read)(CURLM *, int *) = nullptr;
    bool loaded = false;
};

template <typename F> bool resolve(void *lib, const char *name, F &out)
{
    out = reinterpret_cast<F>(Platform::librarySymbol(lib, name));
    return out != nullptr;
}

const Api &api()
{
    static Api a;
    static std::once_flag once;
    std::call_once(once, [] {
        void *lib = Platform::loadLibrary("curl", 4);
        if (!lib)
            return;
        Api loaded;
        loaded.loaded = resolve(lib, "curl_global_init", loaded.global_init) &&
                        resolve(lib, "curl_easy_init", loaded.easy_init) &&
                        resolve(lib, "curl_easy_cleanup", loaded.easy_cleanup) &&
                        resolve(lib, "curl_easy_perform", loaded.easy_perform) &&
                        resolve(lib, "curl_easy_setopt", loaded.easy_setopt) &&
                        resolve(lib, "curl_slist_append", loaded.slist_append) &&
                        resolve(lib, "curl_slist_free_all", loaded.slist_free_all) &&
                        resolve(lib, "curl_multi_init", loaded.multi_init) &&
                        resolve(lib, "curl_multi_cleanup", loaded.multi_cleanup) &&
                        resolve(lib, "curl_multi_add_handle", loaded.multi_add_handle) &&
                        resolve(lib, "curl_multi_remove_handle", loaded.multi_remove_handle) &&
                        resolve(lib, "curl_multi_perform", loaded.multi_perform) &&
                        resolve(lib, "curl_multi_poll", loaded.multi_poll) &&
                        resolve(lib, "curl_multi_info_read", loaded.multi_info_read);
        if (loaded.loaded)
            a = loaded;
        // The library stays loaded for the rest of the run.
    });
    return a;
}
} // namespace

bool CurlApi::available()
{
    return api().loaded;
}

CURLcode CurlApi::global_init(long flags)
{
    return available() ? api().global_init(flags) : CURLE_FAILED_INIT;
}

CURL *CurlApi::easy_init()
{
    return available() ? api().easy_init() : nullptr;
}

void CurlApi::easy_cleanup(CURL *handle)
{
    if (available() && handle)
        api().easy_cleanup(handle);
}

CURLcode CurlApi::easy_perform(CURL *handle)
{
    return available() ? api().easy_perform(handle) : CURLE_FAILED_INIT;
}

curl_slist *CurlApi::slist_append(curl_slist *list, const char *text)
{
    return available() ? api().slist_append(list, text) : nullptr;
}

void CurlApi::slist_free_all(curl_slist *list)
{
    if (available())
        api().slist_free_all(list);
}

CurlApi::SetOpt CurlApi::setoptFunction()
{
    return available() ? api().easy_setopt : nullptr;
}

CURLM *CurlApi::multi_init()
{
    return available() ? api().multi_init() : nullptr;
}

CURLMcode CurlApi::multi_cleanup(CURLM *multi)
{
    return available() && multi ? api().multi_cleanup(multi) : CURLM_BAD_HANDLE;
}

CURLMcode CurlApi::multi_add_handle(CURLM *multi, CURL *handle)
{
    return available() ? api().multi_add_handle(multi, handle) : CURLM_BAD_HANDLE;
}

CURLMcode CurlApi::multi_remove_handle(CURLM *multi, CURL *handle)
{
    return available() ? api().multi_remove_handle(multi, handle) : CURLM_BAD_HANDLE;
}

CURLMcode CurlApi::multi_perform(CURLM *multi, int *running)
{
    return available() ? api().multi_perform(multi, running) : CURLM_BAD_HANDLE;
}

CURLMcode CurlApi::multi_poll(CURLM *multi, int timeoutMs)
{
    return available() ? api().multi_poll(multi, nullptr, 0, timeoutMs, nullptr) : CURLM_BAD_HANDLE;
}

CURLcode CurlApi::multi_result(CURLM *multi, CURL *handle)
{
    if (!available())
        return CURLE_FAILED_INIT;
    int left = 0;
    while (CURLMsg *message = api().multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == handle)
            return message->data.result;
    return CURLE_FAILED_INIT;
}
