namespace db {}
