# cmake -DSQLITE3=<sqlite3 shell> -DOUT=<bin/Pelvane.sqb> -P MakeDatabase.cmake
# The initial task database: the empty task table, named as TaskTable.h names
# it for the programs. A file already there is the user's data and is never
# touched.
file(READ "${CMAKE_CURRENT_LIST_DIR}/TaskTable.h" header)
foreach(name kTaskTableName kTaskIdField kSourceField kTargetField kFolderFieldSize)
    if(NOT header MATCHES " ${name} *= *\"?([A-Za-z0-9_]+)\"?;")
        message(FATAL_ERROR "TaskTable.h does not give ${name}")
    endif()
    set(${name} "${CMAKE_MATCH_1}")
endforeach()
if(EXISTS "${OUT}")
    return()
endif()
if(NOT SQLITE3)
    # Without it the programs would come without their task table.
    message(FATAL_ERROR "No sqlite3 shell to create ${OUT}: install it (tools/setup does)")
endif()
file(REMOVE "${OUT}.new")
execute_process(
    COMMAND "${SQLITE3}" "${OUT}.new"
            "CREATE TABLE ${kTaskTableName} (${kTaskIdField} integer, ${kSourceField} varchar(${kFolderFieldSize}), ${kTargetField} varchar(${kFolderFieldSize}));"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE "${OUT}.new")
    message(FATAL_ERROR "Could not create ${OUT}")
endif()
file(RENAME "${OUT}.new" "${OUT}")
