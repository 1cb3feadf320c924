<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- English is the source text itself: this table stays empty. It only says that Pinlet has
     English, so that a user who prefers English to another language gets English. -->
<TS version="2.1" language="en"/>
