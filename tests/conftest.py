import json
import os
import pathlib

import pytest

REPO = pathlib.Path(__file__).resolve().parent.parent
SAMPLE_METADATA = REPO / "data" / "enriched_project_metadata_cleaned.json"


@pytest.fixture
def write_json(tmp_path):
    """Writes a value as a JSON file under tmp_path and returns its path as str."""

    def write(value, name="doc.json"):
        path = tmp_path / name
        path.write_text(value if isinstance(value, str) else json.dumps(value), encoding="utf-8")
        return os.fspath(path)

    return write


SMALL_DOC = {
    "tables": {
        "activity": {
            "description": "Activities of the schedule",
            "domain": "scheduling",
            "row_count": 3,
            "columns": {
                "total_float": {
                    "description": "Total float in days",
                    "data_type": "REAL",
                    "business_rules": ["Negative float: behind schedule"],
                    "concepts": ["total_float"],
                    "statistics": {"min": -5, "max": 12.5},
                },
                "name": {"description": "Activity name", "data_type": "TEXT"},
            },
        },
        "project": {
            "description": "Projects",
            "domain": "scheduling",
            "columns": {"id": {"description": "Project id", "data_type": "INTEGER", "indexed": True}},
        },
    },
    "relationships": [
        {
            "from_table": "activity",
            "to_table": "project",
            "join_condition": "activity.project_id = project.id",
            "description": "Activity belongs to project",
        }
    ],
    "business_concepts": {"total_float": {"description": "Slack before the end date moves"}},
    "keywords": {"float": ["activity.total_float", "total_float"]},
    "terminology": {"float": "Time an activity can slip"},
}


@pytest.fixture
def small_doc():
    return json.loads(json.dumps(SMALL_DOC))
