#pragma once
#include <map>
#include <string>

// The crash report as one multipart/form-data POST.
struct ReportPostFields {
    std::map<std::string, std::string> custom;  // posted first, in name order
    std::string product;
    std::string version;
    std::string userText;
    std::string errorTitle;
    std::string errorText;
};

// The customary boundary, or a longer one when a value contains it, so no
// value can end its part early and add fields of its own.
std::string ChooseBoundary(const ReportPostFields& fields);
std::string BuildReportBody(const ReportPostFields& fields, const std::string& boundary);
// Header and body. `hostHeader` is the endpoint's host[:port].
std::string BuildReportRequest(const ReportPostFields& fields, const std::string& hostHeader);
