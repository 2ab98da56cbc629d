#include "tests/support/packed_archive.h"

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <zip.h>

namespace orbita::test {

ToolRun RunTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORBITA_TOOL), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.standardError = process.readAllStandardError().toStdString();
    run.standardOutput = process.readAllStandardOutput().toStdString();
    return run;
}

std::optional<std::vector<PackedMember>> ReadPackedArchive(const std::string& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return std::nullopt;
    std::vector<PackedMember> members;
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) != 0) {
            ok = false;
            break;
        }
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        if (!file) {
            ok = false;
            break;
        }
        std::string data(stat.size, '\0');
        const zip_int64_t read = zip_fread(file, data.data(), stat.size);
        char extra;
        ok = read == static_cast<zip_int64_t>(stat.size) && zip_fread(file, &extra, 1) == 0;
        zip_fclose(file);
        members.push_back(PackedMember { stat.name, stat.comp_method, std::move(data) });
    }
    zip_discard(archive);
    if (!ok)
        return std::nullopt;
    return members;
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace orbita::test
