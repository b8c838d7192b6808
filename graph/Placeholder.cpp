namespace graph {}
