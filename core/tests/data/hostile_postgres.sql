-- Statements that must never change, read past or hold up a PostgreSQL
-- database through the answering service. Each entry starts with a line
-- "--- kind: what it tries"; the kind says which layer stops it on its own:
--   write    changes data, schema or server state: the read-only transaction
--   multi    more than one statement: the extended protocol
--   read     reads files, catalogs or settings: only the parser check
--   lock     takes locks or changes the session past the transaction: only the parser check
--   sleep    holds the server: the deadline
--   bounded  a query that is allowed but never ends by itself: the deadline or the row cap
--- multi: stacked commit after a select
SELECT 1; COMMIT;
--- multi: stacked commit then delete
SELECT 1; COMMIT; DELETE FROM projects;
--- multi: stacked drop
SELECT * FROM projects; DROP TABLE projects;
--- multi: stacked insert without spaces
SELECT 1;INSERT INTO projects (project_id) VALUES (999999)
--- multi: end transaction then update
SELECT 1; END; UPDATE projects SET status = 'x';
--- multi: rollback then create
SELECT 1; ROLLBACK; CREATE TABLE owned (x int);
--- multi: set transaction read write after a select
SELECT 1; SET TRANSACTION READ WRITE; DELETE FROM activities;
--- multi: statement after a comment that hides a semicolon
SELECT 1 /* ; */; DROP TABLE activities
--- multi: statement after a line comment
SELECT 1 -- comment
; DELETE FROM resources
--- multi: dollar quoted semicolon then delete
SELECT $$;$$; DELETE FROM wbs;
--- multi: string with semicolon then truncate
SELECT ';'; TRUNCATE projects;
--- multi: two selects
SELECT 1; SELECT 2;
--- multi: copy to program after select
SELECT 1; COPY projects TO PROGRAM 'id';
--- multi: alter system after select
SELECT 1; ALTER SYSTEM SET work_mem = '1GB';
--- multi: reset role after select
SELECT 1; RESET ROLE; DELETE FROM projects;
--- write: delete
DELETE FROM projects
--- write: update
UPDATE activities SET status = 'Completed'
--- write: insert
INSERT INTO projects (project_id, project_code) VALUES (999999, 'X')
--- write: insert select
INSERT INTO projects SELECT * FROM projects
--- write: merge
MERGE INTO projects p USING projects q ON p.project_id = q.project_id WHEN MATCHED THEN DELETE
--- write: truncate
TRUNCATE activities
--- write: drop table
DROP TABLE projects
--- write: drop table cascade
DROP TABLE projects CASCADE
--- write: create table
CREATE TABLE stolen AS SELECT * FROM projects
--- write: create table plain
CREATE TABLE t (x int)
--- write: alter table
ALTER TABLE projects ADD COLUMN hacked int
--- write: rename table
ALTER TABLE projects RENAME TO old_projects
--- write: create index
CREATE INDEX ON projects (status)
--- write: create view
CREATE VIEW v AS SELECT 1
--- write: create function
CREATE FUNCTION f() RETURNS int LANGUAGE sql AS 'SELECT 1'
--- write: create trigger
CREATE TRIGGER t BEFORE INSERT ON projects FOR EACH ROW EXECUTE FUNCTION f()
--- write: create role
CREATE ROLE intruder SUPERUSER LOGIN
--- write: alter role
ALTER ROLE corvalt_reader SUPERUSER
--- write: grant
GRANT ALL ON projects TO PUBLIC
--- write: revoke
REVOKE SELECT ON projects FROM corvalt_reader
--- write: create schema
CREATE SCHEMA evil
--- write: create extension
CREATE EXTENSION dblink
--- write: create sequence
CREATE SEQUENCE s
--- write: comment on
COMMENT ON TABLE projects IS 'owned'
--- write: vacuum
VACUUM projects
--- write: vacuum full
VACUUM FULL
--- write: analyze
ANALYZE projects
--- write: cluster
CLUSTER projects
--- write: reindex
REINDEX TABLE projects
--- write: checkpoint
CHECKPOINT
--- write: alter system
ALTER SYSTEM SET log_statement = 'none'
--- write: create database
CREATE DATABASE evil
--- write: drop database
DROP DATABASE corvalt
--- write: refresh materialized view
REFRESH MATERIALIZED VIEW mv
--- write: copy from stdin
COPY projects FROM STDIN
--- write: copy from a file
COPY projects FROM '/etc/passwd'
--- write: copy to a file
COPY projects TO '/tmp/corvalt_copied.csv'
--- write: copy from program
COPY projects FROM PROGRAM 'touch /tmp/corvalt_owned'
--- write: copy query to program
COPY (SELECT 1) TO PROGRAM 'touch /tmp/corvalt_owned'
--- write: do block
DO $$ BEGIN DELETE FROM projects; END $$
--- write: call a procedure
CALL some_procedure()
--- write: security label
SECURITY LABEL ON TABLE projects IS 'x'
--- write: import foreign schema
IMPORT FOREIGN SCHEMA public FROM SERVER s INTO public
--- write: lock table
LOCK TABLE projects IN ACCESS EXCLUSIVE MODE
--- write: prepare
PREPARE p AS DELETE FROM projects
--- write: execute
EXECUTE p
--- write: notify
NOTIFY channel, 'payload'
--- write: listen
LISTEN channel
--- write: select into a new table
SELECT * INTO stolen FROM projects
--- write: select into temporary table
SELECT * INTO TEMP stolen FROM projects
--- write: create table as with no data
CREATE TABLE stolen AS SELECT * FROM projects WITH NO DATA
--- write: writable cte delete
WITH d AS (DELETE FROM projects RETURNING *) SELECT * FROM d
--- write: writable cte update
WITH u AS (UPDATE activities SET status = 'x' RETURNING 1) SELECT count(*) FROM u
--- write: writable cte insert
WITH i AS (INSERT INTO projects (project_id) VALUES (999999) RETURNING project_id) SELECT * FROM i
--- write: writable cte nested in a subquery
SELECT * FROM (WITH d AS (DELETE FROM wbs RETURNING 1) SELECT * FROM d) s
--- write: writable cte after a plain one
WITH a AS (SELECT 1), d AS (DELETE FROM resources RETURNING 1) SELECT * FROM a, d
--- write: writable cte materialized
WITH d AS MATERIALIZED (DELETE FROM projects RETURNING 1) SELECT 1
--- write: writable cte merge-like insert on conflict
WITH i AS (INSERT INTO projects (project_id) VALUES (1) ON CONFLICT DO NOTHING RETURNING 1) SELECT 1
--- write: nextval
SELECT nextval('projects_seq')
--- write: setval
SELECT setval('projects_seq', 1)
--- write: txid current
SELECT txid_current()
--- write: large object create
SELECT lo_create(0)
--- write: large object import
SELECT lo_import('/etc/passwd')
--- write: large object export
SELECT lo_export(1, '/tmp/corvalt_lo')
--- write: large object from bytea
SELECT lo_from_bytea(0, 'x')
--- write: adminpack file write
SELECT pg_file_write('/tmp/corvalt_owned', 'x', false)
--- write: terminate a backend
SELECT pg_terminate_backend(pid) FROM pg_stat_activity
--- write: cancel a backend
SELECT pg_cancel_backend(1)
--- write: reload configuration
SELECT pg_reload_conf()
--- write: rotate the log
SELECT pg_rotate_logfile()
--- write: switch wal
SELECT pg_switch_wal()
--- write: create restore point
SELECT pg_create_restore_point('x')
--- write: replication slot
SELECT pg_create_logical_replication_slot('s', 'test_decoding')
--- write: dblink exec
SELECT dblink_exec('dbname=corvalt', 'DELETE FROM projects')
--- write: dblink connect
SELECT dblink_connect('host=127.0.0.1')
--- write: dblink query in from
SELECT * FROM dblink('dbname=corvalt', 'DELETE FROM projects RETURNING 1') AS t(x int)
--- write: set config persisted
SELECT set_config('search_path', 'evil', false)
--- write: set config for the transaction
SELECT set_config('statement_timeout', '0', true)
--- write: pg_notify
SELECT pg_notify('channel', 'x')
--- write: stats reset
SELECT pg_stat_reset()
--- write: import a function by qualified name
SELECT public.evil()
--- write: function in from
SELECT * FROM lo_import('/etc/passwd')
--- lock: advisory lock
SELECT pg_advisory_lock(42)
--- lock: advisory shared lock
SELECT pg_advisory_lock_shared(42)
--- lock: try advisory lock
SELECT pg_try_advisory_lock(42)
--- lock: advisory transaction lock
SELECT pg_advisory_xact_lock(42)
--- lock: advisory lock in from
SELECT * FROM pg_advisory_lock(7) AS l
--- lock: advisory lock qualified
SELECT pg_catalog.pg_advisory_lock(42)
--- lock: advisory lock quoted
SELECT "pg_advisory_lock"(42)
--- lock: advisory lock in a subquery
SELECT (SELECT pg_advisory_lock(42)) AS x
--- lock: for update
SELECT * FROM projects FOR UPDATE
--- lock: for share
SELECT * FROM projects FOR SHARE
--- lock: for no key update
SELECT * FROM projects FOR NO KEY UPDATE
--- lock: for key share skip locked
SELECT * FROM activities FOR KEY SHARE SKIP LOCKED
--- lock: for update in a subquery
SELECT * FROM (SELECT * FROM projects FOR UPDATE) s
--- lock: for update in a cte
WITH p AS (SELECT * FROM projects FOR UPDATE) SELECT * FROM p
--- lock: set role
SET ROLE postgres
--- lock: set session authorization
SET SESSION AUTHORIZATION postgres
--- lock: set a setting
SET statement_timeout = 0
--- lock: reset all
RESET ALL
--- lock: begin
BEGIN
--- lock: start transaction read write
START TRANSACTION READ WRITE
--- lock: commit
COMMIT
--- lock: rollback
ROLLBACK
--- lock: savepoint
SAVEPOINT s
--- lock: prepare transaction
PREPARE TRANSACTION 'x'
--- lock: commit prepared
COMMIT PREPARED 'x'
--- lock: discard all
DISCARD ALL
--- lock: set transaction read write
SET TRANSACTION READ WRITE
--- lock: load a library
LOAD 'auto_explain'
--- read: read a file
SELECT pg_read_file('/etc/passwd')
--- read: read a file with offsets
SELECT pg_read_file('/etc/passwd', 0, 100)
--- read: read a binary file
SELECT pg_read_binary_file('/etc/passwd')
--- read: list a directory
SELECT pg_ls_dir('.')
--- read: list a directory in from
SELECT * FROM pg_ls_dir('/') AS d
--- read: stat a file
SELECT pg_stat_file('postgresql.conf')
--- read: list the wal directory
SELECT * FROM pg_ls_waldir()
--- read: list the log directory
SELECT * FROM pg_ls_logdir()
--- read: read a file qualified
SELECT pg_catalog.pg_read_file('postgresql.conf')
--- read: read a file in upper case
SELECT PG_READ_FILE('/etc/passwd')
--- read: read a file quoted
SELECT "pg_read_file"('/etc/passwd')
--- read: read a file by a unicode escaped name
SELECT U&"\0070g_read_file"('/etc/passwd')
--- read: read a file in a cte
WITH f AS (SELECT pg_read_file('/etc/passwd') AS t) SELECT t FROM f
--- read: read a file in a where clause
SELECT 1 WHERE length(pg_read_file('/etc/passwd')) > 0
--- read: read a file in an order by
SELECT project_id FROM projects ORDER BY pg_read_file('/etc/passwd')
--- read: read a file in a join condition
SELECT 1 FROM projects p JOIN wbs w ON pg_read_file('/etc/passwd') IS NOT NULL
--- read: read a file in a lateral
SELECT * FROM projects, LATERAL (SELECT pg_read_file('/etc/passwd')) f
--- read: read a file in a window
SELECT row_number() OVER (ORDER BY pg_read_file('/etc/passwd')) FROM projects
--- read: read a file in a case
SELECT CASE WHEN true THEN pg_read_file('/etc/passwd') END
--- read: read a file in an aggregate filter
SELECT count(*) FILTER (WHERE pg_read_file('/etc/passwd') <> '') FROM projects
--- read: read a file in a values list
VALUES (pg_read_file('/etc/passwd'))
--- read: read a file in a union
SELECT 'a' UNION SELECT pg_read_file('/etc/passwd')
--- read: read a file in an array
SELECT ARRAY[pg_read_file('/etc/passwd')]
--- read: read a file in a cast
SELECT CAST(pg_read_file('/etc/passwd') AS text)
--- read: read a file in coalesce
SELECT coalesce(NULL, pg_read_file('/etc/passwd'))
--- read: read a file with a comment in the name position
SELECT pg_read_file/**/('/etc/passwd')
--- read: current setting
SELECT current_setting('data_directory')
--- read: version
SELECT version()
--- read: query to xml
SELECT query_to_xml('SELECT 1', true, true, '')
--- read: xml table
SELECT * FROM XMLTABLE('/a' PASSING '<a/>' COLUMNS x text)
--- read: xml parse
SELECT xmlparse(document '<a/>')
--- read: the authentication catalog
SELECT * FROM pg_authid
--- read: the shadow view
SELECT usename, passwd FROM pg_shadow
--- read: the user view
SELECT * FROM pg_user
--- read: settings
SELECT * FROM pg_settings
--- read: the configuration files
SELECT * FROM pg_file_settings
--- read: the host rules
SELECT * FROM pg_hba_file_rules
--- read: other sessions
SELECT query FROM pg_stat_activity
--- read: catalog qualified
SELECT * FROM pg_catalog.pg_class
--- read: information schema
SELECT * FROM information_schema.tables
--- read: quoted catalog
SELECT * FROM "pg_catalog"."pg_proc"
--- read: catalog in a subquery
SELECT (SELECT count(*) FROM pg_roles) AS n
--- read: catalog in a cte
WITH r AS (SELECT rolname FROM pg_roles) SELECT * FROM r
--- read: another database's table
SELECT * FROM otherdb.public.projects
--- read: table sample with a custom method
SELECT * FROM projects TABLESAMPLE system_time (1000)
--- read: a parameter placeholder
SELECT * FROM projects WHERE project_id = $1
--- read: explain
EXPLAIN SELECT * FROM projects
--- read: explain analyze delete
EXPLAIN ANALYZE DELETE FROM projects
--- read: explain analyze select
EXPLAIN (ANALYZE, BUFFERS) SELECT * FROM projects
--- read: show a setting
SHOW data_directory
--- read: operator from another schema
SELECT 1 OPERATOR(public.+) 2
--- read: regclass of a catalog
SELECT 'pg_authid'::regclass
--- read: has privilege probes
SELECT has_table_privilege('projects', 'DELETE')
--- read: convert from a file
SELECT convert_from(pg_read_binary_file('/etc/passwd'), 'UTF8')
--- read: encode a file
SELECT encode(pg_read_binary_file('/etc/passwd'), 'base64')
--- read: json from a file
SELECT to_json(pg_read_file('/etc/passwd'))
--- read: md5 of a file
SELECT md5(pg_read_file('/etc/passwd'))
--- sleep: pg_sleep
SELECT pg_sleep(30)
--- sleep: pg_sleep_for
SELECT pg_sleep_for('30 seconds')
--- sleep: pg_sleep_until
SELECT pg_sleep_until(now() + interval '30 seconds')
--- sleep: pg_sleep qualified
SELECT pg_catalog.pg_sleep(30)
--- sleep: pg_sleep in from
SELECT * FROM pg_sleep(30)
--- sleep: pg_sleep in a where clause
SELECT * FROM projects WHERE pg_sleep(10) IS NOT NULL
--- sleep: pg_sleep in a cte
WITH s AS (SELECT pg_sleep(30)) SELECT * FROM s
--- sleep: pg_sleep quoted upper case
SELECT "PG_SLEEP"(30)
--- sleep: pg_sleep with a comment inside the call
SELECT pg_sleep(/* wait */ 30)
--- sleep: pg_sleep per row
SELECT pg_sleep(1) FROM generate_series(1, 100)
--- bounded: a count of a huge series
SELECT count(*) FROM generate_series(1, 100000000000)
--- bounded: a cross join of series
SELECT count(*) FROM generate_series(1, 1000000) a, generate_series(1, 1000000) b
--- bounded: infinite recursion
WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT count(*) FROM r
--- bounded: infinite recursion returning rows
WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r
--- bounded: many rows
SELECT * FROM generate_series(1, 100000000)
--- bounded: a cross join of the sample
SELECT count(*) FROM activities a, activities b, activities c, activities d
--- bounded: a string aggregate of a huge series
SELECT length(string_agg(g::text, ',')) FROM generate_series(1, 1000000000) g
--- bounded: a sort of a huge series
SELECT g FROM generate_series(1, 1000000000) g ORDER BY g DESC LIMIT 1
--- bounded: a regular expression on a growing string
SELECT count(*) FROM generate_series(1, 100000000) g WHERE regexp_replace(g::text, '(a*)*b', 'x') = ''
--- bounded: nested subqueries over a series
SELECT (SELECT count(*) FROM generate_series(1, 100000000)) + (SELECT count(*) FROM generate_series(1, 100000000))
--- read: repeat to a huge value
SELECT length(repeat('x', 1000000000))
--- read: lpad to a huge value
SELECT lpad('x', 1000000000, 'y')
--- read: format width
SELECT format('%1000000000s', 'x')
