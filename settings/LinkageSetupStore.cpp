#include "LinkageSetupStore.h"

#include "Fendra/Singleton.h"
#include "Fendra/StringUtil.h"
#include "Ostrel/UserDataPath.h"

#include <boost/thread/mutex.hpp>

#include <atomic>
#include <memory>
#include <new>

namespace LinkageSnapAlarm {
namespace {

const char* const kSelectSql = "SELECT * FROM LinkageSnapAlarmSetup";
const char* const kDeleteSql = "DELETE FROM LinkageSnapAlarmSetup;";
const char* const kInsertSql = "INSERT INTO LinkageSnapAlarmSetup (ID, IsSavePicture, SavePicPath, PreviewMode) "
                               "VALUES (?,?,?,?);";
const char* const kCreateSql = "CREATE TABLE IF NOT EXISTS LinkageSnapAlarmSetup "
                               "(ID TEXT, IsSavePicture INTEGER, SavePicPath TEXT, PreviewMode INTEGER);";

std::atomic<CLinkageSetupStore*> s_pInstance{nullptr};
std::unique_ptr<CLinkageSetupStore> s_upOwner; // destroys the store at unload

boost::mutex& CreationMutex()
{
    static boost::mutex s_mutex;
    return s_mutex;
}

} // namespace

CLinkageSetupStore* CLinkageSetupStore::Instance()
{
    if (CLinkageSetupStore* pStore = s_pInstance.load(std::memory_order_acquire))
        return pStore;
    boost::mutex::scoped_lock lock(CreationMutex());
    if (!s_pInstance.load(std::memory_order_relaxed)) {
        s_upOwner.reset(new (std::nothrow) CLinkageSetupStore());
        s_pInstance.store(s_upOwner.get(), std::memory_order_release);
    }
    return s_pInstance.load(std::memory_order_relaxed);
}

CLinkageSetupStore::CLinkageSetupStore()
{
    ORN_Guard guard(&m_mutex);
    const std::string strPath = Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath()
                                + "LinkageSnapAlarm";
    try {
        m_conn.Open(Fendra::LocalToUTF8(strPath), true, "");
        CreateTableIfMissing(); // a first start can then save
    } catch (const Quillet::CSQlite3Error&) {
        // Every later statement fails; the callers see false.
    }
}

CLinkageSetupStore::~CLinkageSetupStore() = default;

bool CLinkageSetupStore::IsSetupEmpty()
{
    Quillet::CSQLite3Recordset rows;
    return ExecuteLocked(kSelectSql, rows) && rows.Eof();
}

bool CLinkageSetupStore::LoadSetup(LinkageSetupInfo& info)
{
    Quillet::CSQLite3Recordset rows;
    if (!ExecuteLocked(kSelectSql, rows))
        return false;
    for (; !rows.Eof(); rows.Next()) {
        info.IsSavePicture = rows.GetInt(1) != 0;
        info.SavePicPath = QString::fromStdString(rows.GetString(2));
        info.PreviewMode = rows.GetInt(3);
    }
    return true;
}

bool CLinkageSetupStore::SaveSetup(const LinkageSetupInfo& info)
{
    ORN_Guard guard(&m_mutex);
    try {
        m_conn.Execute("BEGIN IMMEDIATE;");
    } catch (const Quillet::CSQlite3Error&) {
        return false;
    }
    try {
        CreateTableIfMissing();
        m_conn.Execute(kDeleteSql);
        Insert(info);
        m_conn.Execute("COMMIT;");
        return true;
    } catch (const Quillet::CSQlite3Error&) {
    }
    try {
        m_conn.Execute("ROLLBACK;");
    } catch (const Quillet::CSQlite3Error&) {
        // SQLite may have rolled back already.
    }
    return false;
}

bool CLinkageSetupStore::DeleteAllSetup()
{
    return ExecuteLocked(kDeleteSql);
}

bool CLinkageSetupStore::InsertSetup(const LinkageSetupInfo& info)
{
    ORN_Guard guard(&m_mutex);
    try {
        Insert(info);
        return true;
    } catch (const Quillet::CSQlite3Error&) {
        return false;
    }
}

bool CLinkageSetupStore::ExecuteLocked(const std::string& strSql)
{
    ORN_Guard guard(&m_mutex);
    try {
        return m_conn.Execute(strSql);
    } catch (const Quillet::CSQlite3Error&) {
        return false;
    }
}

bool CLinkageSetupStore::ExecuteLocked(const std::string& strSql, Quillet::CSQLite3Recordset& rows)
{
    ORN_Guard guard(&m_mutex);
    try {
        return m_conn.Execute(strSql, rows);
    } catch (const Quillet::CSQlite3Error&) {
        return false;
    }
}

void CLinkageSetupStore::CreateTableIfMissing()
{
    m_conn.Execute(kCreateSql);
}

void CLinkageSetupStore::Insert(const LinkageSetupInfo& info)
{
    // Bound as texts: stored exactly as the quoted literals '1', '0'/'1', path and
    // mode would be, with no length limit and no quoting of the path.
    m_conn.ExecuteWithParams(kInsertSql, {"1", info.IsSavePicture ? "1" : "0", info.SavePicPath.toStdString(),
                                          std::to_string(info.PreviewMode)});
}

} // namespace LinkageSnapAlarm
