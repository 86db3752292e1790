#pragma once
// The server's request log: one line per request, written whole with one write() so that several
// threads, and several processes appending to one file, never mix their lines.
//   2026-12-10T15:40:01.123Z 127.0.0.1 POST /rest 200 command=1001 user=3 returncode=1 2.41ms
// An internal error adds its number and cause: ... returncode=0 5.02ms error=123456789 cause="..."
#include <QString>

#include <string>

struct RequestRecord;

class RequestLog {
public:
    // Standard error.
    RequestLog();
    // Appends to the file (created when missing); throws std::runtime_error when it cannot be opened.
    explicit RequestLog(const QString& path);
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    struct Entry {
        std::string address;
        std::string method;
        std::string path;
        int httpStatus = 0;                    // 0: the connection ended before a reply was sent
        const RequestRecord* record = nullptr; // null for a request that never reached the service
        double milliseconds = 0;
    };
    void write(const Entry& entry);
    static std::string format(const Entry& entry);

private:
    int m_fd;
    bool m_ownsFd;
};
