#include "crash/ReportPost.h"

#include <vector>

namespace {

const char* const kBoundary = "---------------------------7d3e1f30eec";

void AppendPart(std::string& body, const std::string& boundary, const std::string& name, const std::string& value) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

std::vector<std::pair<std::string, const std::string*>> Parts(const ReportPostFields& f) {
    std::vector<std::pair<std::string, const std::string*>> parts;
    for (const auto& [name, value] : f.custom) parts.emplace_back(name, &value);
    parts.emplace_back("prod", &f.product);
    parts.emplace_back("version", &f.version);
    parts.emplace_back("usertext", &f.userText);
    parts.emplace_back("errortitle", &f.errorTitle);
    parts.emplace_back("errortext", &f.errorText);
    return parts;
}

}  // namespace

std::string ChooseBoundary(const ReportPostFields& fields) {
    std::string boundary = kBoundary;
    auto clashes = [&] {
        for (const auto& [name, value] : Parts(fields))
            if (value->find(boundary) != std::string::npos || name.find(boundary) != std::string::npos) return true;
        return false;
    };
    for (unsigned n = 0; clashes(); ++n) boundary = std::string(kBoundary) + "q" + std::to_string(n) + "z";
    return boundary;
}

std::string BuildReportBody(const ReportPostFields& fields, const std::string& boundary) {
    std::string body;
    for (const auto& [name, value] : Parts(fields)) AppendPart(body, boundary, name, *value);
    body += "--" + boundary + "--\r\n";
    return body;
}

std::string BuildReportRequest(const ReportPostFields& fields, const std::string& hostHeader) {
    std::string boundary = ChooseBoundary(fields);
    std::string body = BuildReportBody(fields, boundary);
    return "POST /morlex_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + boundary +
           "\r\nUser-Agent: Mozilla/4.0 (compatible; tiktap)\r\nHost: " + hostHeader +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}
