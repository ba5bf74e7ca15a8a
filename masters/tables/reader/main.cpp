// harbrook-table-reader FILE: reads an Access database or an Excel workbook for the master import,
// apart from the editor (see TableReaderServe.h).
#include "masters/tables/TableReaders.h"
#include "masters/tables/reader/TableReaderServe.h"

int main(int argc, char **argv)
{
    return masters::tables::reader::runReader(argc, argv, &masters::tables::openTableReader);
}
