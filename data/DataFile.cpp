#include "data/DataFile.h"

std::string DataFilePath(const std::string& folder)
{
    if (folder.empty())
        return "submitdata.xml";
    if (folder.back() == '/')
        return folder + "submitdata.xml";
    return folder + "/submitdata.xml";
}
