#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CSubmitHost;
class CXmlDocument;

// The data file's name inside the folder it is kept in (the program's own folder).
std::string DataFilePath(const std::string& folder);

// Called with a target's URL when its "Host" element is found, before its parameters are
// read; returns the record they go into.
using TargetSink = std::function<std::shared_ptr<CSubmitHost>(const std::string& url)>;

// Reads every target of an opened document in file order: the "Host" children of the root
// "data", each with its "param" children. False when the root is not "data".
bool ReadTargets(CXmlDocument& doc, const TargetSink& addTarget);

// Starts doc anew with the declaration and writes one "Host" per record, in order; null
// records are skipped.
void WriteTargets(CXmlDocument& doc, const std::vector<std::shared_ptr<CSubmitHost>>& records);
