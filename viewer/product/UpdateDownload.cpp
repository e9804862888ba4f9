// The download half of the update check: one HTTP request for the published version file
// through libcurl, read into a buffer of at most 10,240 bytes.

#include <curl/curl.h>

#include <QString>
#include <ctime>
#include <memory>
#include <mutex>

#include "LumtraceBuildConfig.h"
#include "UpdateCheck.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"

namespace {

constexpr std::size_t kReadLimit = 10240;

struct Transfer {
    std::string body;
    const std::atomic<bool>* abandoned = nullptr;
};

size_t onData(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = kReadLimit - transfer.body.size();
    transfer.body.append(data, std::min(bytes, room));
    // Returning less than offered ends the transfer: the buffer is full.
    return bytes <= room ? bytes : 0;
}

// Called about once a second even when the server sends nothing, so an abandoned check
// never waits for the time-outs.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* abandoned = static_cast<Transfer*>(user)->abandoned;
    return abandoned && abandoned->load(std::memory_order_relaxed) ? 1 : 0;
}

struct EasyCloser {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// The published file is 8-bit text in the system ANSI code page; compare in UTF-8 like paths.
std::string ansiToUtf8(std::string_view bytes) {
    const auto wide = platform::multiByteToWideChar(0, bytes);
    return wide ? QString::fromStdU16String(*wide).toStdString() : std::string(bytes);
}

}  // namespace

UpdateSource defaultVantorelUpdateSource() {
    UpdateSource source;
    source.url = LUMTRACE_UPDATE_URL;
    return source;
}

std::string nowDateTimeToString() {
    return platform::guarded<std::string>("NowDateTimeToString", {}, [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (!localtime_r(&now, &local)) throw std::runtime_error("no local time");
        char text[64];
        std::snprintf(text, sizeof text, "_%.4d_%.2d_%.2d__%.2d_%.2d_%.2d", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        return std::string(text);
    });
}

bool getVantorelUpdateInternetFile(const std::string& fileName, ProductVersion& version,
                                   const UpdateSource& source, const std::atomic<bool>* abandoned) {
    static constexpr const char* kWhere = "GetVantorelUpdateInternetFile";
    return platform::guarded(kWhere, false, [&] {
        // No address configured: the check is off, which is not worth a line.
        if (source.url.empty()) return false;
        static std::once_flag curlReady;
        std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

        std::unique_ptr<CURL, EasyCloser> curl(curl_easy_init());
        if (!curl) throw std::runtime_error("no curl handle");
        Transfer transfer;
        transfer.abandoned = abandoned;
        const std::string agent = fileName + "_T_" + nowDateTimeToString();
        CURL* h = curl.get();
        curl_easy_setopt(h, CURLOPT_URL, source.url.c_str());
        curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
        // Signals cannot be used for time-outs on a thread that is not the main one.
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, source.connectTimeoutSeconds);
        curl_easy_setopt(h, CURLOPT_TIMEOUT, source.transferTimeoutSeconds);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onData);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);

        const CURLcode result = curl_easy_perform(h);
        const bool bufferFull = result == CURLE_WRITE_ERROR && transfer.body.size() == kReadLimit;
        if (result != CURLE_OK && !bufferFull) {
            platform::reportError(kWhere, (std::string(curl_easy_strerror(result)) + ".").c_str());
            return false;
        }
        long status = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299) {
            platform::reportError(kWhere, ("HTTP status " + std::to_string(status) + ".").c_str());
            return false;
        }

        // The buffer is zero-filled text: a zero byte ends it.
        std::string_view bytes = transfer.body;
        bytes = bytes.substr(0, bytes.find('\0'));
        const auto found = parsePublishedVersion(ansiToUtf8(bytes), fileName);
        if (!found) return false;
        version = *found;
        return true;
    });
}
